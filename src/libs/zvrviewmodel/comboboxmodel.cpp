// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "comboboxmodel.h"

#include <QDebug>

ComboBoxModel::ComboBoxModel(QObject *parent)
    : QStringListModel(parent)
{
}

ComboBoxModel::~ComboBoxModel() = default;

int ComboBoxModel::currentIndex()
{
    return m_currentIndex;
}

// No range check: the index may name no entry at all.
void ComboBoxModel::setCurrentIndex(int index)
{
    qDebug() << "setCurrentIndex val " << index;
    if (m_currentIndex == index) {
        return;
    }
    m_currentIndex = index;
    Q_EMIT currentIndexChanged();
}

QString ComboBoxModel::textRole()
{
    return QStringLiteral("display");
}

// Goes through the model's own row insertion and setData, then tells the views once
// more that the new row's display text changed.
void ComboBoxModel::append(const QString &text)
{
    insertRows(rowCount(), 1, QModelIndex());
    const QModelIndex last = index(rowCount() - 1, 0);
    setData(last, QVariant(text), Qt::DisplayRole);
    Q_EMIT dataChanged(last, last, { Qt::DisplayRole });
}

// Only the first equal entry goes; the current index stays where it is.
void ComboBoxModel::remove(const QString &text)
{
    const QStringList entries = stringList();
    for (int row = 0; row < entries.size(); ++row) {
        if (entries.at(row) == text) {
            removeRows(row, 1, QModelIndex());
            return;
        }
    }
}

void ComboBoxModel::resetModel(const QStringList &list)
{
    beginResetModel();
    setStringList(list);
    endResetModel();
    setCurrentIndex(0);
}

QString ComboBoxModel::currentText()
{
    const QStringList entries = stringList();
    if (m_currentIndex >= 0 && m_currentIndex < entries.size()) {
        return entries.at(m_currentIndex);
    }
    return QString();
}
