// The small runtime every window relies on: the exception family that the
// default error box catches, the decimal conversion and the rounding rule.
#pragma once

#include <QString>
#include <exception>
#include <string>

// Base of every error the tool raises on purpose. Carries a user-facing message.
class Exception : public std::exception {
public:
    explicit Exception(QString message);
    const QString& message() const noexcept { return m_message; }
    const char* what() const noexcept override { return m_utf8.c_str(); }

private:
    QString m_message;
    std::string m_utf8;
};

// Raised when a text that should hold a decimal integer does not.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// Raised when an index is outside a list (for example "Open " with no ports).
class EListError : public Exception {
public:
    using Exception::Exception;
};

// A value as a message quotes it: its first 80 characters, then "..." when it
// goes on. A message box sized to a megabyte of text takes minutes to lay out.
QString ElidedValue(const QString& value);

// The conversion error for a text that is not a decimal integer.
EConvertError NotAnInteger(const QString& text);

// Decimal text to a signed 32-bit integer. Leading and trailing blanks are
// accepted, as is a leading sign; anything else raises EConvertError with the
// text "'<text>' is not a valid integer value" (the text elided as above).
int StrToInt(const QString& text);

// Like StrToInt, without raising: returns false on bad text.
bool TryStrToInt(const QString& text, int& value);

// Nearest integer, exact halves to the even neighbour (12.5 -> 12, 13.5 -> 14).
long long RoundHalfEven(double value);
