// SPDX-License-Identifier: GPL-3.0-or-later
// Party entries shown in, and read back from, a two-column list.
#include "ui/party_table.h"

#include "model/text_field.h"

#include <QTableWidget>

#include <algorithm>
#include <cstring>

namespace vestra7 {

namespace {

constexpr int kNameColumn = 0;
constexpr int kNumberColumn = 1;

bool sameEntry(const PartyEntry &a, const PartyEntry &b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void setCellText(QTableWidget &table, int row, int column, const QString &text)
{
    if (QTableWidgetItem *item = table.item(row, column))
        item->setText(text);
    else
        table.setItem(row, column, new QTableWidgetItem(text));
}

} // namespace

PartyTable::PartyTable(QTableWidget *table)
    : m_table(table)
{
}

int PartyTable::rowCount() const
{
    return m_table->rowCount();
}

void PartyTable::appendEmptyRow()
{
    const int row = m_table->rowCount();
    m_table->insertRow(row);
    m_table->setItem(row, kNameColumn, new QTableWidgetItem);
    m_table->setItem(row, kNumberColumn, new QTableWidgetItem);
    m_shown.emplace_back();
}

void PartyTable::ensureRow(int row)
{
    while (m_table->rowCount() <= row)
        appendEmptyRow();
}

void PartyTable::showEntries(std::span<const PartyEntry> entries)
{
    ensureRow(static_cast<int>(entries.size()) - 1);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const PartyEntry &entry = entries[i];
        std::optional<PartyEntry> &shown = m_shown[i];
        if (shown && sameEntry(*shown, entry))
            continue;
        const int row = static_cast<int>(i);
        // Unlike the party edits, the rows keep carriage returns: they show the entry as stored.
        setCellText(*m_table, row, kNameColumn, readTextField(entry.name));
        setCellText(*m_table, row, kNumberColumn, readTextField(entry.number));
        shown = entry;
    }
}

void PartyTable::forgetShownEntries()
{
    for (std::optional<PartyEntry> &shown : m_shown)
        shown.reset();
}

void PartyTable::setRow(int row, const QString &name, const QString &number)
{
    setCellText(*m_table, row, kNameColumn, name);
    setCellText(*m_table, row, kNumberColumn, number);
    m_shown[static_cast<std::size_t>(row)].reset();
}

QString PartyTable::text(int row, int column) const
{
    const QTableWidgetItem *item = m_table->item(row, column);
    return item ? item->text() : QString();
}

QString PartyTable::name(int row) const
{
    return text(row, kNameColumn);
}

QString PartyTable::number(int row) const
{
    return text(row, kNumberColumn);
}

int PartyTable::firstSelectedRow() const
{
    int first = -1;
    for (const QTableWidgetSelectionRange &range : m_table->selectedRanges()) {
        if (first < 0 || range.topRow() < first)
            first = range.topRow();
    }
    return first;
}

bool PartyTable::isSelected(int row) const
{
    return m_table->selectionModel()->isRowSelected(row, {});
}

void PartyTable::removeRowKeepingLength(int row)
{
    m_table->setUpdatesEnabled(false);
    m_table->removeRow(row);
    m_shown.erase(m_shown.begin() + row);
    appendEmptyRow();
    m_table->setUpdatesEnabled(true);
}

} // namespace vestra7
