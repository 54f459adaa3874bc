// The update window: replaces the adapter's firmware through its boot loader.
#pragma once

#include <QDialog>

#include <cstdint>
#include <span>

class DeviceLink;
class QLineEdit;
class QPushButton;

class Tfu final : public QDialog
{
public:
    explicit Tfu(DeviceLink &link, QWidget *parent = nullptr);

    void setIdentity(const QString &name, const QString &serial, const QString &version);
    void enableBootLoaderActions(bool enabled);

    // A reply of the adapter with a command code from 240 up.
    void uret(std::uint8_t cmd, std::span<const std::uint8_t> p);

    QLineEdit *dev_name;
    QLineEdit *dev_serial;
    QLineEdit *dev_version;
    QPushButton *select;
    QPushButton *def;

private:
    DeviceLink &m_link;
};
