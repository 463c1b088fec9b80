#pragma once

#include <QByteArrayView>
#include <QString>

namespace larkspur {

// Reads JSON text in place, accepting only the plain forms of RFC 8259. Anything unusual (escaped
// keys, lone surrogates, numbers out of range, deep nesting) is refused rather than guessed at,
// so that the caller can hand the text to the general reader, whose verdict then stands.
class StrictJsonScanner {
public:
    // A byte-order mark at the start is passed over, as RFC 8259 allows (editors add one).
    explicit StrictJsonScanner(QByteArrayView text);

    // Each of these skips whitespace first; on false the position is unspecified.
    bool consume(char c);
    bool atEnd();
    bool consumeNull();
    bool readBool(bool* out);
    bool readNumber(double* out);  // finite only
    // A string of printable ASCII without escapes, as the bytes between the quotes. On false
    // the position stays at the string, to be read another way.
    bool readPlainString(QByteArrayView* out);
    // Likewise for any UTF-8 text without escapes.
    bool readUnescapedString(QByteArrayView* out);
    bool readString(QString* out);
    bool skipValue();

private:
    static constexpr int kMaxDepth = 64;
    void skipWhitespace();
    bool literal(const char* word);
    bool skipValue(int depth);
    bool readUnescaped(QByteArrayView* out, bool asciiOnly);
    bool readEscape(QString* out);
    static bool isValidUtf8(QByteArrayView bytes);

    const char* p_;
    const char* end_;
};

}  // namespace larkspur
