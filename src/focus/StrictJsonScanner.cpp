#include "focus/StrictJsonScanner.h"

#include <QStringDecoder>

#include <charconv>
#include <cmath>
#include <cstring>

namespace larkspur {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

StrictJsonScanner::StrictJsonScanner(QByteArrayView text) : p_(text.begin()), end_(text.end()) {
    if (text.startsWith("\xEF\xBB\xBF")) p_ += 3;
}

void StrictJsonScanner::skipWhitespace() {
    while (p_ != end_ && (*p_ == ' ' || *p_ == '\n' || *p_ == '\r' || *p_ == '\t')) ++p_;
}

bool StrictJsonScanner::consume(char c) {
    skipWhitespace();
    if (p_ == end_ || *p_ != c) return false;
    ++p_;
    return true;
}

bool StrictJsonScanner::atEnd() {
    skipWhitespace();
    return p_ == end_;
}

bool StrictJsonScanner::literal(const char* word) {
    const auto length = std::ptrdiff_t(std::strlen(word));
    if (end_ - p_ < length || std::memcmp(p_, word, std::size_t(length)) != 0) return false;
    p_ += length;
    return true;
}

bool StrictJsonScanner::consumeNull() {
    skipWhitespace();
    return literal("null");
}

bool StrictJsonScanner::readBool(bool* out) {
    skipWhitespace();
    if (literal("true")) {
        *out = true;
        return true;
    }
    if (literal("false")) {
        *out = false;
        return true;
    }
    return false;
}

bool StrictJsonScanner::readNumber(double* out) {
    skipWhitespace();
    const char* start = p_;
    const char* q = p_;
    if (q != end_ && *q == '-') ++q;
    if (q == end_ || !isDigit(*q)) return false;
    if (*q == '0') {
        ++q;
    } else {
        while (q != end_ && isDigit(*q)) ++q;
    }
    bool integral = true;
    if (q != end_ && *q == '.') {
        integral = false;
        ++q;
        if (q == end_ || !isDigit(*q)) return false;
        while (q != end_ && isDigit(*q)) ++q;
    }
    if (q != end_ && (*q == 'e' || *q == 'E')) {
        integral = false;
        ++q;
        if (q != end_ && (*q == '+' || *q == '-')) ++q;
        if (q == end_ || !isDigit(*q)) return false;
        while (q != end_ && isDigit(*q)) ++q;
    }
    double value = 0;
    const auto result = std::from_chars(start, q, value);
    if (result.ec != std::errc() || result.ptr != q || !std::isfinite(value)) return false;
    // The general reader takes an integral "-0" as the integer 0.
    if (integral && value == 0) value = 0;
    *out = value;
    p_ = q;
    return true;
}

bool StrictJsonScanner::readPlainString(QByteArrayView* out) {
    return readUnescaped(out, true);
}

bool StrictJsonScanner::readUnescapedString(QByteArrayView* out) {
    return readUnescaped(out, false);
}

bool StrictJsonScanner::readUnescaped(QByteArrayView* out, bool asciiOnly) {
    skipWhitespace();
    if (p_ == end_ || *p_ != '"') return false;
    const char* start = p_ + 1;
    const char* q = start;
    bool ascii = true;
    while (q != end_ && *q != '"') {
        const auto c = static_cast<unsigned char>(*q);
        if (c < 0x20 || c == '\\' || (asciiOnly && c > 0x7e)) return false;
        ascii = ascii && c < 0x80;
        ++q;
    }
    if (q == end_) return false;
    const QByteArrayView text(start, q - start);
    if (!ascii && !isValidUtf8(text)) return false;
    *out = text;
    p_ = q + 1;
    return true;
}

bool StrictJsonScanner::readString(QString* out) {
    if (!consume('"')) return false;
    QString text;
    const char* run = p_;
    auto flushRun = [&] {
        const QByteArrayView bytes(run, p_ - run);
        if (!isValidUtf8(bytes)) return false;
        // A U+FEFF inside the text is a character like any other; fromUtf8 would drop it at the
        // start of each run, that is right after an escape.
        QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                        QStringDecoder::Flag::ConvertInitialBom);
        text.append(decode(bytes));
        return true;
    };
    while (p_ != end_ && *p_ != '"') {
        const auto c = static_cast<unsigned char>(*p_);
        if (c < 0x20) return false;
        if (c == '\\') {
            if (!flushRun() || !readEscape(&text)) return false;
            run = p_;
        } else {
            ++p_;
        }
    }
    if (p_ == end_ || !flushRun()) return false;
    ++p_;
    if (out) *out = std::move(text);
    return true;
}

bool StrictJsonScanner::readEscape(QString* out) {
    // At the backslash.
    if (end_ - p_ < 2) return false;
    const char kind = p_[1];
    p_ += 2;
    switch (kind) {
        case '"':
        case '\\':
        case '/':
            out->append(QLatin1Char(kind));
            return true;
        case 'b':
            out->append(QLatin1Char('\b'));
            return true;
        case 'f':
            out->append(QLatin1Char('\f'));
            return true;
        case 'n':
            out->append(QLatin1Char('\n'));
            return true;
        case 'r':
            out->append(QLatin1Char('\r'));
            return true;
        case 't':
            out->append(QLatin1Char('\t'));
            return true;
        case 'u':
            break;
        default:
            return false;
    }
    auto readUnit = [this](char16_t* unit) {
        if (end_ - p_ < 4) return false;
        int value = 0;
        for (int i = 0; i < 4; ++i) {
            const int digit = hexValue(p_[i]);
            if (digit < 0) return false;
            value = value * 16 + digit;
        }
        p_ += 4;
        *unit = char16_t(value);
        return true;
    };
    char16_t unit = 0;
    if (!readUnit(&unit)) return false;
    if (QChar::isLowSurrogate(unit)) return false;
    if (QChar::isHighSurrogate(unit)) {
        char16_t low = 0;
        if (end_ - p_ < 2 || p_[0] != '\\' || p_[1] != 'u') return false;
        p_ += 2;
        if (!readUnit(&low) || !QChar::isLowSurrogate(low)) return false;
        out->append(QChar(unit));
        out->append(QChar(low));
        return true;
    }
    out->append(QChar(unit));
    return true;
}

bool StrictJsonScanner::isValidUtf8(QByteArrayView bytes) {
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = s + bytes.size();
    while (s != end) {
        const unsigned char c = *s;
        if (c < 0x80) {
            ++s;
            continue;
        }
        int extra = 0;
        char32_t code = 0;
        char32_t minimum = 0;
        if ((c & 0xe0) == 0xc0) {
            extra = 1;
            code = c & 0x1f;
            minimum = 0x80;
        } else if ((c & 0xf0) == 0xe0) {
            extra = 2;
            code = c & 0x0f;
            minimum = 0x800;
        } else if ((c & 0xf8) == 0xf0) {
            extra = 3;
            code = c & 0x07;
            minimum = 0x10000;
        } else {
            return false;
        }
        if (end - s <= extra) return false;
        for (int i = 1; i <= extra; ++i) {
            if ((s[i] & 0xc0) != 0x80) return false;
            code = (code << 6) | (s[i] & 0x3f);
        }
        if (code < minimum || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff)) return false;
        s += extra + 1;
    }
    return true;
}

bool StrictJsonScanner::skipValue() {
    return skipValue(0);
}

bool StrictJsonScanner::skipValue(int depth) {
    if (depth > kMaxDepth) return false;
    skipWhitespace();
    if (p_ == end_) return false;
    double number = 0;
    bool flag = false;
    switch (*p_) {
        case '"':
            return readString(nullptr);
        case '{':
            ++p_;
            if (consume('}')) return true;
            do {
                if (!readString(nullptr) || !consume(':') || !skipValue(depth + 1)) return false;
            } while (consume(','));
            return consume('}');
        case '[':
            ++p_;
            if (consume(']')) return true;
            do {
                if (!skipValue(depth + 1)) return false;
            } while (consume(','));
            return consume(']');
        case 't':
        case 'f':
            return readBool(&flag);
        case 'n':
            return consumeNull();
        default:
            return readNumber(&number);
    }
}

}  // namespace larkspur
