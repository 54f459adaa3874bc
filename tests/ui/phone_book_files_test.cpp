// SPDX-License-Identifier: GPL-3.0-or-later
// "Export contacts": the phone book written in the format its file name asks for.
#include "main_window_fixture.h"

#include "support/record_builders.h"

#include <QAction>
#include <QFile>
#include <QTemporaryDir>

namespace vestra7 {

namespace {

class PhoneBookFilesTest : public MainWindowTest
{
protected:
    QByteArray exportAs(const QString &name)
    {
        window.exportContactsDialog().setChooser(
            [this, name](QWidget *, const FileDialog::Offer &) { return std::optional(dir.filePath(name)); });
        child<QAction>("exportContactsAction")->trigger();
        QFile file(window.exportContactsDialog().selectedFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir;
};

TEST_F(PhoneBookFilesTest, ExportWritesWhatTheAdapterHoldsAsTheExtensionSays)
{
    DeviceRecord record = readyRecord();
    record.contact[0] = makeParty("Anna", "+4930556677");
    record.contact[5] = makeParty("Boris", "+79035554411");
    receive(record);

    // The numbers as text, so that a spreadsheet keeps their plus sign.
    EXPECT_EQ(exportAs(QStringLiteral("book.csv")),
              "\xEF\xBB\xBFName,Number\r\nAnna,'+4930556677\r\nBoris,'+79035554411\r\n");

    const QByteArray vcards = exportAs(QStringLiteral("book"));
    EXPECT_EQ(window.exportContactsDialog().selectedFile(), dir.filePath(QStringLiteral("book.vcf")))
        << "a name without a known extension becomes a vCard file";
    EXPECT_EQ(vcards.count("BEGIN:VCARD"), 2);
    EXPECT_TRUE(vcards.contains("FN:Boris")) << vcards.toStdString();
    EXPECT_EQ(adapter.takeChanges(), Changes{}) << "exporting changes nothing";
}

} // namespace

} // namespace vestra7
