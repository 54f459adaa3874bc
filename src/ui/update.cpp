// The update window.
#include "ui/update.h"

#include "link/device_link.h"

#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

Tfu::Tfu(DeviceLink &link, QWidget *parent)
    : QDialog(parent)
    , dev_name(new QLineEdit(this))
    , dev_serial(new QLineEdit(this))
    , dev_version(new QLineEdit(this))
    , select(new QPushButton(QStringLiteral("Select file"), this))
    , def(new QPushButton(QStringLiteral("Reset settings"), this))
    , m_link(link)
{
    setWindowTitle(QStringLiteral("Update FW"));
    auto *layout = new QVBoxLayout(this);
    for (QLineEdit *field : {dev_name, dev_serial, dev_version}) {
        field->setReadOnly(true);
        layout->addWidget(field);
    }
    layout->addWidget(select);
    layout->addWidget(def);
    select->setEnabled(false);
}

void Tfu::setIdentity(const QString &name, const QString &serial, const QString &version)
{
    dev_name->setText(name);
    dev_serial->setText(serial);
    dev_version->setText(version);
}

void Tfu::enableBootLoaderActions(bool enabled)
{
    select->setEnabled(enabled);
    def->setEnabled(enabled);
}

void Tfu::uret(std::uint8_t, std::span<const std::uint8_t>)
{
}
