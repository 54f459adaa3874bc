// SPDX-License-Identifier: GPL-3.0-or-later
// Shows the phone book as an import will leave it, with the names and numbers the adapter cannot
// hold as they are, and lets the user store it or not.
#pragma once

#include "model/party_text.h"

#include <QDialog>

#include <memory>
#include <vector>

namespace vestra7 {

class AnsiCodec;

namespace Ui {
class ImportPreviewDialog;
}

class ImportPreviewDialog final : public QDialog
{
    Q_OBJECT

public:
    // `leftOut`: the file's entries beyond the phone book's size, which are not stored.
    ImportPreviewDialog(const std::vector<Party> &parties, int leftOut, AnsiCodec &codec, QWidget *parent = nullptr);
    ~ImportPreviewDialog() override;

private:
    std::unique_ptr<Ui::ImportPreviewDialog> m_ui;
};

} // namespace vestra7
