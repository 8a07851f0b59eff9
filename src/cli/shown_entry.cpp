#include "cli/shown_entry.h"

#include <QStringDecoder>
#include <vector>

namespace {

constexpr qsizetype kLongest = 40;
constexpr qsizetype kHead = 20;
constexpr qsizetype kTail = 10;

QString escapedByte(unsigned char byte) { return QStringLiteral("\\x%1").arg(byte, 2, 16, QLatin1Char('0')); }

// The length of the UTF-8 sequence that starts at `at`, or 0 when the bytes
// there are not one.
qsizetype sequenceLength(const QByteArray &bytes, qsizetype at)
{
    const auto lead = static_cast<unsigned char>(bytes[at]);
    const qsizetype length = lead < 0x80                   ? 1
                             : lead >= 0xC2 && lead < 0xE0 ? 2
                             : lead >= 0xE0 && lead < 0xF0 ? 3
                             : lead >= 0xF0 && lead < 0xF5 ? 4
                                                           : 0;
    if (length == 0 || at + length > bytes.size())
        return 0;
    // The decoder also refuses the overlong forms and the surrogates.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder(bytes.mid(at, length));
    return decoder.hasError() || decoded.contains(QChar::ReplacementCharacter) ? 0 : length;
}

// The entry as shown, one piece for each character or escaped byte.
std::vector<QString> shownPieces(const QByteArray &bytes)
{
    std::vector<QString> pieces;
    for (qsizetype at = 0; at < bytes.size();) {
        const auto byte = static_cast<unsigned char>(bytes[at]);
        const qsizetype length = sequenceLength(bytes, at);
        if (length == 0 || byte < 0x20 || byte == 0x7F) {
            pieces.push_back(escapedByte(byte));
            ++at;
        } else if (byte == '\\') {
            pieces.push_back(QStringLiteral("\\\\"));
            ++at;
        } else {
            pieces.push_back(QString::fromUtf8(bytes.mid(at, length)));
            at += length;
        }
    }
    return pieces;
}

QString joined(std::vector<QString>::const_iterator from, std::vector<QString>::const_iterator to)
{
    QString text;
    for (; from != to; ++from)
        text += *from;
    return text;
}

}  // namespace

QString shownEntry(const QByteArray &entry)
{
    const std::vector<QString> pieces = shownPieces(entry);
    const auto count = static_cast<qsizetype>(pieces.size());
    if (count <= kLongest)
        return joined(pieces.begin(), pieces.end());
    return joined(pieces.begin(), pieces.begin() + kHead) + QStringLiteral("…(%1 more)…").arg(count - kHead - kTail) +
           joined(pieces.end() - kTail, pieces.end());
}
