// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_COMBOBOXMODEL_H
#define ZVR_COMBOBOXMODEL_H

#include <zvrviewmodel/zvrviewmodel_global.h>

#include <QStringListModel>

/*! \brief The model behind a drop-down list: texts under the display role and the
 *  index of the selected entry, which nothing keeps inside the list.
 */
class ZVRVIEWMODEL_EXPORT ComboBoxModel : public QStringListModel
{
    Q_OBJECT
    Q_PROPERTY(int currentIndex READ currentIndex WRITE setCurrentIndex NOTIFY currentIndexChanged)
    Q_PROPERTY(QString textRole READ textRole)

public:
    explicit ComboBoxModel(QObject *parent = nullptr);
    ~ComboBoxModel() override;

    int currentIndex();
    void setCurrentIndex(int index);
    QString textRole();

    void append(const QString &text);
    void remove(const QString &text);
    void resetModel(const QStringList &list);
    QString currentText();

Q_SIGNALS:
    void currentIndexChanged();

private:
    Q_DISABLE_COPY(ComboBoxModel)
    int m_currentIndex = 0;
};

#endif // ZVR_COMBOBOXMODEL_H
