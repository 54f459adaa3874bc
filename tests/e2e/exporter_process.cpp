// SPDX-License-Identifier: GPL-3.0-or-later
// Starting the exporter, reading where it serves, and scraping it.
#include "exporter_process.h"

#include "support/gui_wait.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRegularExpression>

#include <memory>

namespace vestra7 {

QByteArray httpGet(const QUrl &url)
{
    QNetworkAccessManager network;
    QNetworkRequest request(url);
    request.setTransferTimeout(5000);
    std::unique_ptr<QNetworkReply> reply(network.get(request));
    waitUntil([&] { return reply->isFinished(); }, std::chrono::seconds(6));
    return reply->error() == QNetworkReply::NoError ? reply->readAll() : QByteArray();
}

ExporterProcess::~ExporterProcess()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000))
        m_process.kill();
    m_process.waitForFinished();
}

testing::AssertionResult ExporterProcess::start(const QString &umockdevDir, const QStringList &arguments,
                                                std::chrono::milliseconds wait)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    environment.insert(QStringLiteral("UMOCKDEV_DIR"), umockdevDir);
    m_process.setProcessEnvironment(environment);
    m_process.start(QStringLiteral(VESTRA7_PROGRAM),
                    QStringList{QStringLiteral("exporter"), QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0")} +
                        arguments);
    if (!m_process.waitForStarted())
        return testing::AssertionFailure() << "the exporter did not start";
    // It picks a free port and says which.
    const QRegularExpression serving(QStringLiteral("http://127\\.0\\.0\\.1:(\\d+)/metrics"));
    QByteArray said;
    if (!waitUntil(
            [&] {
                said += m_process.readAllStandardError();
                return serving.match(QString::fromUtf8(said)).hasMatch();
            },
            wait))
        return testing::AssertionFailure() << "the exporter said: " << said.toStdString();
    m_port = serving.match(QString::fromUtf8(said)).captured(1).toUShort();
    return testing::AssertionSuccess();
}

QByteArray ExporterProcess::metrics() const
{
    return httpGet(QUrl(QStringLiteral("http://127.0.0.1:%1/metrics").arg(m_port)));
}

} // namespace vestra7
