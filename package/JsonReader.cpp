#include "Json.h"

#include <QVariantList>
#include <QVariantMap>

namespace {

enum class Token { None, ObjectOpen, ObjectClose, ArrayOpen, ArrayClose, Colon, Comma, String, Number, True, False, Null };

// Reads one value after another from the text; every method returns false
// on malformed input and leaves the position wherever it stopped.
class Reader
{
public:
    explicit Reader(const QString& isText)
        : msText(isText)
    {
    }

    bool value(QVariant& irResult)
    {
        // Nesting is bounded so that a hostile script cannot exhaust the stack.
        if (mnDepth >= kMaxDepth)
            return false;
        switch (peek()) {
        case Token::ObjectOpen:
            return object(irResult);
        case Token::ArrayOpen:
            return array(irResult);
        case Token::String: {
            QString sText;
            if (!string(sText))
                return false;
            irResult = sText;
            return true;
        }
        case Token::Number:
            irResult = number();
            return true;
        case Token::True:
            mnPos += 4;
            irResult = true;
            return true;
        case Token::False:
            mnPos += 5;
            irResult = false;
            return true;
        case Token::Null:
            mnPos += 4;
            irResult = QVariant();
            return true;
        default:
            return false;
        }
    }

private:
    void skipWhiteSpace()
    {
        while (mnPos < msText.size()) {
            const QChar c = msText.at(mnPos);
            if (c != QLatin1Char(' ') && c != QLatin1Char('\t') && c != QLatin1Char('\n') && c != QLatin1Char('\r'))
                break;
            ++mnPos;
        }
    }

    bool wordAhead(const char* ipWord) const
    {
        return msText.midRef(mnPos, int(qstrlen(ipWord))) == QLatin1String(ipWord);
    }

    Token peek()
    {
        skipWhiteSpace();
        if (mnPos >= msText.size())
            return Token::None;
        const QChar c = msText.at(mnPos);
        switch (c.unicode()) {
        case '{':
            return Token::ObjectOpen;
        case '}':
            return Token::ObjectClose;
        case '[':
            return Token::ArrayOpen;
        case ']':
            return Token::ArrayClose;
        case ':':
            return Token::Colon;
        case ',':
            return Token::Comma;
        case '"':
            return Token::String;
        default:
            break;
        }
        if (c == QLatin1Char('-') || (c >= QLatin1Char('0') && c <= QLatin1Char('9')))
            return Token::Number;
        if (wordAhead("true"))
            return Token::True;
        if (wordAhead("false"))
            return Token::False;
        if (wordAhead("null"))
            return Token::Null;
        return Token::None;
    }

    // Reads the members of an object or array up to inClose. Commas between
    // members are optional and stray ones are skipped.
    template <typename ReadMember>
    bool members(Token inClose, ReadMember&& irReadMember)
    {
        for (;;) {
            const Token nToken = peek();
            if (nToken == Token::None)
                return false;
            if (nToken == Token::Comma) {
                ++mnPos;
                continue;
            }
            if (nToken == inClose) {
                ++mnPos;
                return true;
            }
            if (!irReadMember(nToken))
                return false;
        }
    }

    bool object(QVariant& irResult)
    {
        ++mnPos; // "{"
        const DepthGuard aGuard(mnDepth);
        QVariantMap aMap;
        const bool bOk = members(Token::ObjectClose, [&](Token inToken) {
            QString sKey;
            if (inToken != Token::String || !string(sKey) || peek() != Token::Colon)
                return false;
            ++mnPos;
            QVariant aValue;
            if (!value(aValue))
                return false;
            aMap.insert(sKey, aValue);
            return true;
        });
        if (bOk)
            irResult = aMap;
        return bOk;
    }

    bool array(QVariant& irResult)
    {
        ++mnPos; // "["
        const DepthGuard aGuard(mnDepth);
        QVariantList aList;
        const bool bOk = members(Token::ArrayClose, [&](Token) {
            QVariant aValue;
            if (!value(aValue))
                return false;
            aList.append(aValue);
            return true;
        });
        if (bOk)
            irResult = aList;
        return bOk;
    }

    bool string(QString& irsResult)
    {
        ++mnPos; // opening quote
        const int nSize = msText.size();
        const QChar* pText = msText.constData();
        for (;;) {
            // Copy the run up to the next quote or backslash in one piece.
            const int nRunStart = mnPos;
            while (mnPos < nSize && pText[mnPos] != QLatin1Char('"') && pText[mnPos] != QLatin1Char('\\'))
                ++mnPos;
            if (mnPos >= nSize)
                return false; // no closing quote
            if (irsResult.isEmpty() && pText[mnPos] == QLatin1Char('"'))
                irsResult = msText.mid(nRunStart, mnPos - nRunStart);
            else
                irsResult.append(pText + nRunStart, mnPos - nRunStart);
            if (pText[mnPos++] == QLatin1Char('"'))
                return true;
            if (mnPos >= nSize)
                return false;
            const QChar e = pText[mnPos++];
            switch (e.unicode()) {
            case '"':
            case '\\':
            case '/':
                irsResult.append(e);
                break;
            case 'b':
                irsResult.append(QLatin1Char('\b'));
                break;
            case 'f':
                irsResult.append(QLatin1Char('\f'));
                break;
            case 'n':
                irsResult.append(QLatin1Char('\n'));
                break;
            case 'r':
                irsResult.append(QLatin1Char('\r'));
                break;
            case 't':
                irsResult.append(QLatin1Char('\t'));
                break;
            case 'u': {
                // One UTF-16 code unit; surrogate halves are kept as they come.
                // Exactly four hexadecimal digits: no sign, no "0x", no blanks.
                if (mnPos + 4 > nSize)
                    return false;
                ushort nUnit = 0;
                for (int i = 0; i < 4; ++i) {
                    const int nDigit = hexDigit(pText[mnPos + i].unicode());
                    if (nDigit < 0)
                        return false;
                    nUnit = ushort(nUnit * 16 + nDigit);
                }
                irsResult.append(QChar(nUnit));
                mnPos += 4;
                break;
            }
            default:
                // An unknown escape drops the backslash and its character.
                break;
            }
        }
    }

    static int hexDigit(ushort c)
    {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

    static bool isNumberChar(ushort c)
    {
        return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == 'e' || c == 'E';
    }

    QVariant number()
    {
        const int nStart = mnPos;
        while (mnPos < msText.size() && isNumberChar(msText.at(mnPos).unicode()))
            ++mnPos;
        const QString sNumber = msText.mid(nStart, mnPos - nStart);
        bool bOk = false;
        if (sNumber.contains(QLatin1Char('.')))
            return sNumber.toDouble();
        if (sNumber.startsWith(QLatin1Char('-'))) {
            const int nValue = sNumber.toInt(&bOk);
            if (bOk)
                return nValue;
            const qlonglong nLong = sNumber.toLongLong(&bOk);
            return bOk ? QVariant(nLong) : QVariant(sNumber);
        }
        const uint nValue = sNumber.toUInt(&bOk);
        if (bOk)
            return nValue;
        const qulonglong nLong = sNumber.toULongLong(&bOk);
        return bOk ? QVariant(nLong) : QVariant(sNumber);
    }

    struct DepthGuard
    {
        explicit DepthGuard(int& irnDepth)
            : mrnDepth(++irnDepth)
        {
        }
        ~DepthGuard() { --mrnDepth; }
        int& mrnDepth;
    };

    static constexpr int kMaxDepth = 512;
    const QString& msText;
    int mnPos = 0;
    int mnDepth = 0;
};

} // namespace

namespace Json {

QVariant parse(const QString& isText, bool& irbSuccess)
{
    if (isText.isNull()) {
        irbSuccess = true;
        return QVariant();
    }
    Reader aReader(isText);
    QVariant aResult;
    irbSuccess = aReader.value(aResult);
    return irbSuccess ? aResult : QVariant();
}

} // namespace Json
