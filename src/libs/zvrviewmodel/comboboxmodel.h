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
    //! An empty list with the first entry current.
    explicit ComboBoxModel(QObject *parent = nullptr);
    ~ComboBoxModel() override;

    //!@{
    //! The entry the combo box shows.
    int currentIndex();
    void setCurrentIndex(int index);
    //!@}
    //! The fixed role name of the entries' text, for a combo box's textRole.
    QString textRole();

    //! Adds an entry at the end.
    void append(const QString &text);
    //! Removes the entries equal to \a text.
    void remove(const QString &text);
    //! Replaces every entry under a model reset.
    void resetModel(const QStringList &list);
    //! The text of the current entry, empty when there is none.
    QString currentText();

Q_SIGNALS:
    //! Emitted after currentIndex changed.
    void currentIndexChanged();

private:
    Q_DISABLE_COPY(ComboBoxModel)
    int m_currentIndex = 0;
};

#endif // ZVR_COMBOBOXMODEL_H
