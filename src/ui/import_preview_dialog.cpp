// SPDX-License-Identifier: GPL-3.0-or-later
// The import preview: the 32 entries as the adapter will hold them, each change marked.
#include "ui/import_preview_dialog.h"
#include "ui_import_preview_dialog.h"

#include "model/device_record.h"
#include "model/import_preview.h"
#include "ui/plain_text.h"

#include <QHeaderView>
#include <QIcon>
#include <QPushButton>
#include <QStyle>

#include <algorithm>

namespace vestra7 {

namespace {

enum Column { kNameColumn, kNumberColumn, kNoteColumn };

// The notes on one field. A cut counts bytes, since the field holds 16 of them; where the text kept
// has another number of characters, the note names that too. A code page's character takes one or
// two bytes, so that number lies between 8 and 15.
QStringList fieldNotes(const FieldPreview &field, bool isName)
{
    QStringList notes;
    if (field.undecodable)
        notes << (isName ? QCoreApplication::translate(
                               "ImportPreviewDialog",
                               "name holds bytes that are no text in the file's encoding, shown as �")
                         : QCoreApplication::translate(
                               "ImportPreviewDialog",
                               "number holds bytes that are no text in the file's encoding, shown as �"));
    if (field.cut) {
        const auto characters = static_cast<int>(field.stored.toUcs4().size());
        if (characters == static_cast<int>(kPartyTextWidth))
            notes << (isName ? QCoreApplication::translate("ImportPreviewDialog", "name cut to 16 bytes")
                             : QCoreApplication::translate("ImportPreviewDialog", "number cut to 16 bytes"));
        else
            notes << (isName ? QCoreApplication::translate("ImportPreviewDialog",
                                                           "name cut to 16 bytes, which hold %1 characters")
                                   .arg(characters)
                             : QCoreApplication::translate("ImportPreviewDialog",
                                                           "number cut to 16 bytes, which hold %1 characters")
                                   .arg(characters));
    }
    if (field.lossy)
        notes << (isName ? QCoreApplication::translate("ImportPreviewDialog",
                                                       "name loses characters the adapter cannot show")
                         : QCoreApplication::translate("ImportPreviewDialog",
                                                       "number loses characters the adapter cannot show"));
    return notes;
}

QTableWidgetItem *fieldItem(const FieldPreview &field, const QString &original, const QIcon &warning)
{
    auto *item = new QTableWidgetItem(field.stored);
    if (field.changed()) {
        // Marked by more than colour, so that the mark also shows in a dark theme and to a screen reader.
        QFont font = item->font();
        font.setBold(true);
        font.setItalic(true);
        item->setFont(font);
        item->setIcon(warning);
        item->setToolTip(
            plainMarkup(QCoreApplication::translate("ImportPreviewDialog", "In the file: %1").arg(original)));
    }
    return item;
}

} // namespace

ImportPreviewDialog::ImportPreviewDialog(const std::vector<Party> &parties, int leftOut, AnsiCodec &codec,
                                         QWidget *parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::ImportPreviewDialog>())
{
    m_ui->setupUi(this);
    m_ui->buttonBox->button(QDialogButtonBox::Ok)->setText(tr("&Store in the adapter"));
    // Nothing is stored unless the user asks for it.
    m_ui->buttonBox->button(QDialogButtonBox::Cancel)->setDefault(true);
    connect(m_ui->buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_ui->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);

    const std::vector<PartyPreview> previews = previewImport(parties, codec);
    const auto stored = std::min<std::size_t>(previews.size(), kContactCount);
    const auto changed = std::count_if(previews.begin(), previews.begin() + static_cast<std::ptrdiff_t>(stored),
                                       [](const PartyPreview &preview) { return preview.changed(); });
    QStringList summary{tr("The contacts from the file replace the adapter's phone book; the entries after them "
                           "are emptied."),
                        tr("Contacts stored: %1").arg(stored)};
    if (leftOut > 0)
        summary << tr("Left out, beyond the phone book's %1 entries: %2").arg(kContactCount).arg(leftOut);
    if (changed > 0)
        summary << tr("Stored otherwise than the file has them, marked below: %1").arg(changed);
    m_ui->summaryLabel->setText(summary.join(QLatin1Char('\n')));

    // Without an icon theme (a bare desktop, a container) the style still has a warning sign.
    const QIcon warning =
        QIcon::fromTheme(QStringLiteral("dialog-warning"), style()->standardIcon(QStyle::SP_MessageBoxWarning));
    QTableWidget *table = m_ui->entryTable;
    table->setRowCount(kContactCount);
    for (int row = 0; row < kContactCount; ++row) {
        table->setVerticalHeaderItem(row, new QTableWidgetItem(QString::number(row + 1)));
        if (static_cast<std::size_t>(row) >= stored) {
            for (int column : {kNameColumn, kNumberColumn, kNoteColumn})
                table->setItem(row, column, new QTableWidgetItem());
            continue;
        }
        const PartyPreview &preview = previews[static_cast<std::size_t>(row)];
        const Party &party = parties[static_cast<std::size_t>(row)];
        table->setItem(row, kNameColumn, fieldItem(preview.name, party.name, warning));
        table->setItem(row, kNumberColumn, fieldItem(preview.number, party.number, warning));
        const QStringList notes = fieldNotes(preview.name, true) + fieldNotes(preview.number, false);
        table->setItem(row, kNoteColumn, new QTableWidgetItem(notes.join(QStringLiteral("; "))));
    }
    table->horizontalHeader()->setSectionResizeMode(kNoteColumn, QHeaderView::Stretch);
    table->resizeColumnToContents(kNameColumn);
    table->resizeColumnToContents(kNumberColumn);
}

ImportPreviewDialog::~ImportPreviewDialog() = default;

} // namespace vestra7
