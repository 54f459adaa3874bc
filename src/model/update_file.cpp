// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the model name out of an update file's header and comparing it with the adapter's name.
#include "model/update_file.h"

#include "model/ansi_codec.h"
#include "model/boot_loader_name.h"

#include <QByteArrayView>

#include <algorithm>

namespace vestra7 {

QString updateModelName(std::span<const std::uint8_t> headerText)
{
    constexpr QByteArrayView key("MODEL=");
    const QByteArrayView text(headerText.data(), static_cast<qsizetype>(headerText.size()));
    const qsizetype keyAt = text.indexOf(key);
    if (keyAt < 0)
        return {};
    const qsizetype start = keyAt + key.size();
    // The "&" is looked for from the start of the text, not from "MODEL=": files rely on the model
    // key coming first, and one that does not is refused unless its whole rest is the name.
    const qsizetype ampersand = text.indexOf('&');
    const qsizetype end = ampersand >= start ? ampersand : text.size();
    return AnsiCodec::system().decode(
        headerText.subspan(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start)));
}

QString updateVersion(std::span<const std::uint8_t> headerText)
{
    constexpr QByteArrayView key("VERSION=");
    const QByteArrayView text(headerText.data(), static_cast<qsizetype>(headerText.size()));
    const qsizetype keyAt = text.indexOf(key);
    if (keyAt < 0)
        return {};
    const qsizetype start = keyAt + key.size();
    const qsizetype ampersand = text.indexOf('&', start);
    const qsizetype end = ampersand >= 0 ? ampersand : text.size();
    return AnsiCodec::system()
        .decode(headerText.subspan(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start)))
        .trimmed();
}

std::optional<std::span<const std::uint8_t>> updateHeaderText(std::span<const std::uint8_t> file)
{
    if (file.size() <= kHeaderTextOffset)
        return std::nullopt;
    const std::span<const std::uint8_t> rest = file.subspan(kHeaderTextOffset);
    const auto zero = std::find(rest.begin(), rest.end(), std::uint8_t{0});
    if (zero == rest.end())
        return std::nullopt;
    return std::span<const std::uint8_t>(rest.begin(), zero);
}

Result<std::uint16_t, UpdateFileFault> checkUpdateFile(std::span<const std::uint8_t> file, const QString &deviceName)
{
    const std::optional<std::span<const std::uint8_t>> headerText = updateHeaderText(file);
    if (!headerText)
        return UpdateFileFault::NoHeader;
    const auto payloadOffset = static_cast<std::uint16_t>(file[0] | file[1] << 8);
    // Sending nothing would end in the adapter's verdict on an image it never got.
    if (payloadOffset >= file.size())
        return UpdateFileFault::NoPayload;
    if (updateModelName(*headerText) != deviceModelName(deviceName))
        return UpdateFileFault::OtherModel;
    return payloadOffset;
}

bool updateFileNamesModel(std::span<const std::uint8_t> file, const QString &product)
{
    const std::optional<std::span<const std::uint8_t>> headerText = updateHeaderText(file);
    return headerText && updateModelName(*headerText).trimmed() == deviceModelName(product).trimmed();
}

} // namespace vestra7
