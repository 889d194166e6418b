#pragma once

#include "core/reduction.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <optional>

// Files and texts the save tests compare against.

// The result text for the last draw 00, as the reduction makes it.
inline QString resultFor00()
{
    return QString::fromStdU16String(corvanel::reduce({0, 0}).resultText);
}

// A file's bytes, or none when it cannot be read (or does not exist).
inline std::optional<QByteArray> fileBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return file.readAll();
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
