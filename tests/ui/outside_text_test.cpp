// SPDX-License-Identifier: GPL-3.0-or-later
// Texts from outside (the adapter's, another program's) in the windows: shown as they are, whatever
// markup they look like.
#include "main_window_fixture.h"
#include "support/box_answerer.h"
#include "support/record_builders.h"
#include "ui/line_status_window.h"

#include <QLabel>
#include <QTextDocument>
#include <QWindow>

#include <cstring>

namespace vestra7 {

namespace {

// Each fits the 16 bytes of an operator's name.
const char *const kHostile[] = {"<b>bold</b>", "<img src=x>", "<a href=x>y</a>",
                                "&lt;i&gt;",   "[*]title[*]", "<h1>A&amp;B"};

// What a person reads of a text shown in this format.
QString shown(const QString &text, Qt::TextFormat format)
{
    if (format == Qt::PlainText || (format == Qt::AutoText && !Qt::mightBeRichText(text)))
        return text;
    QTextDocument document;
    document.setHtml(text);
    return document.toPlainText();
}

QString shown(const QLabel *label)
{
    return shown(label->text(), label->textFormat());
}

DeviceRecord withOperator(const char *name)
{
    DeviceRecord record = readyRecord();
    std::memset(record.ops[0], 0, sizeof record.ops[0]);
    std::memcpy(record.ops[0], name, std::strlen(name));
    return record;
}

TEST_F(MainWindowTest, OutsideTextsInTheTitleTheOverlayTheToolTipsAndTheBoxesAreShownAsTheyAre)
{
    for (const char *text : kHostile) {
        const QString hostile = QString::fromLatin1(text);
        AdapterIdentity identity;
        identity.product = hostile;
        identity.serial = hostile;
        adapter.setIdentity(identity);
        emit adapter.identityChanged(identity);
        EXPECT_EQ(window.windowHandle()->title(), hostile);

        receive(withOperator(text));
        const QString toolTip = child<QLabel>("lineALabel")->toolTip();
        EXPECT_TRUE(shown(toolTip, Qt::AutoText).contains(hostile)) << toolTip.toStdString();

        emit adapter.inUseChanged(QStringLiteral("adapter in use by process 1 (%1)").arg(hostile));
        EXPECT_TRUE(shown(child<QLabel>("messageLabel")).contains(hostile))
            << child<QLabel>("messageLabel")->text().toStdString();
        emit adapter.inUseChanged({});

        BoxAnswerer answer;
        emit adapter.sendFailed(hostile);
        ASSERT_TRUE(answer.seen);
        EXPECT_EQ(shown(answer.seen->text, answer.seen->format), hostile);
    }
}

TEST(LineStatusWindowTexts, TheAdaptersWordsAreShownAsTheyAre)
{
    FakeAdapter adapter;
    LineStatusWindow window(adapter);
    emit adapter.connectionChanged(true);
    window.show();
    for (const char *text : kHostile) {
        DeviceRecord record = withOperator(text);
        std::memset(record.usd_txt, 0, sizeof record.usd_txt);
        std::memcpy(record.usd_txt, text, std::strlen(text));
        adapter.receive(record);
        for (const char *label : {"operatorA", "ussdText"}) {
            const auto *shownLabel = window.findChild<QLabel *>(QString::fromLatin1(label));
            ASSERT_NE(shownLabel, nullptr) << label;
            EXPECT_EQ(shown(shownLabel), QString::fromLatin1(text)) << label;
        }
    }
}

} // namespace

} // namespace vestra7
