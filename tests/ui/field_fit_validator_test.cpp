// SPDX-License-Identifier: GPL-3.0-or-later
// The party edits take only what their record fields hold as shown.
#include "ui/field_fit_validator.h"

#include "model/ansi_codec.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

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

TEST(FieldFitValidator, AnEditRefusesTheKeyThatWouldNotFit)
{
    QLineEdit edit;
    edit.setValidator(new FieldFitValidator(16, &edit));
    QTest::keyClicks(&edit, QStringLiteral("0123456789abcdefXYZ"));
    EXPECT_EQ(edit.text(), QStringLiteral("0123456789abcdef"));
}

} // namespace
