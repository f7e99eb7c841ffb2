#pragma once

#include <QString>

// Class operations on text shared by several areas.
class VelTextHelpers
{
public:
    // Lower-case hexadecimal MD5 of the text's UTF-8 bytes.
    static QString vel_md5(const QString &text);
    // Lower-case hexadecimal SHA-256 of the text's UTF-8 bytes.
    static QString sha256Value(const QString &text);
    // Whole seconds since 1970, as decimal text.
    static QString vel_getCurrentTimeStamp();
    // Hardware address of the primary interface ("en0" where that name exists):
    // the first interface that is up, not loopback, and has a hardware address.
    // Lower-case, colon separated; empty when there is none.
    static QString vel_getMacAddress();
    // The mouse's serial-number text from the 12 hex digits of its six serial
    // bytes: the second byte's digits become "00" and "velo" goes in front
    // ("123456789abc" -> "velo120056789abc").
    static QString changeMySN(const QString &hexDigits);
    // Whether the text ends a sentence: "。", "？", "." or "?".
    static bool isThisStringEndsWithPunctuation(const QString &text);
};
