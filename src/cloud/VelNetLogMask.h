#pragma once

#include <QString>
#include <QVariant>

// Log lines never show a password, a secret key or an access key: these
// helpers replace such values with "***" before a URL, a parameter set or a
// reply is printed.
class VelNetLogMask
{
public:
    // True for keys that name a password, a secret or an access key.
    static bool isSecretKey(const QString &key);
    // The URL with the values of secret query keys replaced.
    static QString maskedURL(const QString &url);
    // A printable form of a parameter set or a reply (JSON-like), with secret
    // values replaced at any depth.
    static QString describe(const QVariant &value);
    static QVariant masked(const QVariant &value);
};
