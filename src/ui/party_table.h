// SPDX-License-Identifier: GPL-3.0-or-later
// A two-column list ("Name", "Number") that shows a record's party entries, one per row, in place.
#pragma once

#include "model/device_record.h"

#include <QString>

#include <optional>
#include <span>
#include <vector>

class QTableWidget;

namespace vestra7 {

// Rows are rewritten in place and never removed for good, so the list keeps its selection and its
// scroll position while the adapter's records keep arriving.
class PartyTable
{
public:
    explicit PartyTable(QTableWidget *table);

    QTableWidget *widget() const { return m_table; }
    int rowCount() const;

    // Grows the list to one row per entry, then shows each entry's name and number as the record's
    // text rule reads them. A row whose entry is as it was when last shown here is not touched.
    void showEntries(std::span<const PartyEntry> entries);
    // The next showEntries() rewrites every row, as when the texts are to be read in another code page.
    void forgetShownEntries();

    // Appends rows with empty texts until `row` exists.
    void ensureRow(int row);
    // Shows the texts as they are, uncut, until the next showEntries().
    void setRow(int row, const QString &name, const QString &number);
    QString name(int row) const;
    QString number(int row) const;

    // The lowest selected row, or -1.
    int firstSelectedRow() const;
    bool isSelected(int row) const;
    // Removes the row and appends an empty one, so the list keeps its length: the rows below move up.
    void removeRowKeepingLength(int row);

private:
    void appendEmptyRow();
    QString text(int row, int column) const;

    QTableWidget *m_table;
    // What each row last showed by showEntries(); empty where the row was changed since.
    std::vector<std::optional<PartyEntry>> m_shown;
};

} // namespace vestra7
