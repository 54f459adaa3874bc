// The connection overlay: a white area saying "Connect to USB" that covers the main window while no
// adapter is connected.
#pragma once

#include <QFrame>

#include <memory>

class Ui_Tveil;

class Tveil final : public QFrame
{
    Q_OBJECT

public:
    explicit Tveil(QWidget *parent = nullptr);
    ~Tveil() override;

private:
    std::unique_ptr<Ui_Tveil> ui;
};
