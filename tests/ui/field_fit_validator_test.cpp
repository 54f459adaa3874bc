// SPDX-License-Identifier: GPL-3.0-or-later
// The party edits take only what their record fields hold as shown, and say what they cut or refuse.
#include "ui/field_fit_validator.h"

#include "model/ansi_codec.h"

#include <QLineEdit>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace vestra7 {

namespace {

TEST(FieldFitValidator, CountsBytesInTheCodePageNotCharacters)
{
    const FieldFitValidator validator(16);
    EXPECT_TRUE(validator.fits(QStringLiteral("Anna")));
    EXPECT_TRUE(validator.fits(QString(16, QLatin1Char('x'))));
    EXPECT_FALSE(validator.fits(QString(17, QLatin1Char('x'))));
    EXPECT_TRUE(validator.fits(QString()));
    // The tests run with a single-byte Western code page, which has no Chinese.
    EXPECT_FALSE(validator.fits(QStringLiteral("\u674E")));
}

TEST(FieldFitValidator, WhatIsTypedOrPastedBeyondTheFieldIsCutAndACharacterTheCodePageLacksIsRefused)
{
    const struct
    {
        const char *what;
        QString before;
        int cursor;
        QString inserted;
        QString after;
        const char *said; // part of the explanation; none when all of it fits
    } cases[] = {
        {"a paste that fits", "Anna", 4, " Karenina", "Anna Karenina", nullptr},
        {"a paste too long", "", 0, "12345678901234567", "1234567890123456", "the rest was cut off"},
        {"a paste into the middle", "Anna Karenina", 5, "Arkadyevna ", "Anna ArkKarenina", "the rest was cut off"},
        {"a key with the field full", "0123456789abcdef", 16, "X", "0123456789abcdef", "the rest was cut off"},
        {"a character the code page lacks", "Ann", 3, "a \u674E", "Ann", "\u674E\" cannot be stored"},
    };
    for (const auto &[what, before, cursor, inserted, after, said] : cases) {
        SCOPED_TRACE(what);
        QLineEdit edit(before);
        auto *validator = new FieldFitValidator(16, &edit);
        edit.setValidator(validator);
        edit.setCursorPosition(cursor);
        QSignalSpy explained(validator, &FieldFitValidator::textRefused);
        edit.insert(inserted);
        EXPECT_EQ(edit.text(), after);
        ASSERT_EQ(explained.count(), said ? 1 : 0);
        if (said) {
            EXPECT_TRUE(explained.at(0).at(0).toString().contains(QString::fromUtf8(said)))
                << explained.at(0).at(0).toString().toStdString();
        }
    }
}

} // namespace

} // namespace vestra7
