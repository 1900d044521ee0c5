// The fields the filters and the first view read: recording and marked
// flags, the direction's kind and its distinct values, the start time, the
// day and the note key.
#include "CallIndexBuilder.h"
#include "JsText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>

#include <algorithm>
#include <cmath>

void CallIndexBuilder::addFlags(const Member* ipFlags, const Member* ipVoice)
{
    // Recording: a truthy voice and flags (a number) with both bits.
    bool bVoice = false;
    if (ipVoice) {
        switch (ipVoice->eType) {
        case Type::String: bVoice = ipVoice->nTextLength > 0; break;
        case Type::Number: bVoice = ipVoice->fNumber != 0; break;
        case Type::True: case Type::Object: case Type::Array: bVoice = true; break;
        default: break;
        }
    }
    const bool bFlags = ipFlags && ipFlags->eType == Type::Number;
    const uint32_t nFlags = bFlags ? JsText::toUint32(ipFlags->fNumber) : 0;
    uint8_t nCallFlags = 0;
    if (bVoice && (nFlags & 0x18u) == 0x18u)
        nCallFlags |= CallIndex::cnRecording;
    if (nFlags & 0x00400000u)
        nCallFlags |= CallIndex::cnMarked;
    mrIndex.maFlags.push_back(nCallFlags);
}

void CallIndexBuilder::addDirection(const Member* ipDirection)
{
    // Most calls repeat one of a few directions, written alike.
    const std::string_view aToken = ipDirection ? token(*ipDirection) : std::string_view();
    for (const RecentDirection& aRecent : maRecentDirections)
        if (aRecent.bPresent == (ipDirection != nullptr) && aRecent.sToken == aToken) {
            mrIndex.maDirection.push_back(aRecent.nKind);
            return;
        }
    std::string sKind;
    if (ipDirection && ipDirection->eType != Type::Null) {
        const std::string sText = jsString(*ipDirection);
        JsText::appendLower(sText, sKind);
        const char cKind = ipDirection->eType == Type::Object || ipDirection->eType == Type::Array
                               ? 'j' : char('0' + int(ipDirection->eType));
        rememberDirection(cKind == 'j' ? std::string(token(*ipDirection)) : sText, cKind, *ipDirection);
    } else if (ipDirection) {
        rememberDirection("null", '0', *ipDirection);
    }
    if (sKind == "in" || sKind == "inbound" || sKind == "incoming" || sKind == "i")
        sKind = "in";
    else if (sKind == "out" || sKind == "outbound" || sKind == "outgoing" || sKind == "o")
        sKind = "out";
    else if (sKind == "internal" || sKind == "int")
        sKind = "internal";
    auto it = maKindOf.find(sKind);
    if (it == maKindOf.end()) {
        it = maKindOf.emplace(sKind, uint32_t(mrIndex.maKinds.size())).first;
        mrIndex.maKinds.push_back(sKind);
    }
    mrIndex.maDirection.push_back(it->second);
    if (maRecentDirections.size() < 16)
        maRecentDirections.push_back({ipDirection != nullptr, std::string(aToken), it->second});
}

void CallIndexBuilder::rememberDirection(const std::string& isText, char icType, const Member& irMember)
{
    if (mrIndex.maDirections.size() >= cnMaxDirections)
        return;
    if (!maDirectionSeen.emplace(icType + isText, 0).second)
        return;
    mrIndex.maDirectionKeys.push_back(icType + isText);
    QVariant aValue;
    switch (irMember.eType) {
    case Type::Null: aValue = QVariant::fromValue(nullptr); break;
    case Type::Number: aValue = irMember.fNumber; break;
    case Type::String: aValue = QString::fromUtf8(isText.data(), int(isText.size())); break;
    case Type::True: aValue = true; break;
    case Type::False: aValue = false; break;
    default: {
        const std::string_view aToken = token(irMember);
        aValue = QJsonDocument::fromJson("[" + QByteArray(aToken.data(), int(aToken.size())) + "]")
                     .array().first().toVariant();
    }
    }
    mrIndex.maDirections.append(aValue);
}

void CallIndexBuilder::addStart(int inCall, const Member* ipStart, const Member* ipId)
{
    double fKey = 0;
    int32_t nDay = -1;
    uint64_t nNoteKey = 0;
    if (ipStart && ipStart->eType == Type::String) {
        const std::string_view aText = stringOf(*ipStart);
        const double fSeconds = JsText::startSeconds(aText);
        if (std::isfinite(fSeconds))
            fKey = std::min(8.5e9, std::max(1.0, fSeconds + 4e9));
        std::string sDay;
        const std::string_view aDay = JsText::leadingUnits(aText, 10, sDay);
        if (!aDay.empty()) {
            nDay = -2;
            const char* d = aDay.data();
            auto digit = [&](int k) { return d[k] >= '0' && d[k] <= '9'; };
            if (aDay.size() == 10 && digit(0) && digit(1) && digit(2) && digit(3) && d[4] == '-' && digit(5)
                && digit(6) && d[7] == '-' && digit(8) && digit(9))
                nDay = ((d[0] - '0') * 1000 + (d[1] - '0') * 100 + (d[2] - '0') * 10 + (d[3] - '0')) * 10000
                       + ((d[5] - '0') * 10 + (d[6] - '0')) * 100 + (d[8] - '0') * 10 + (d[9] - '0');
            else
                mrIndex.maIrregularDays.emplace(uint32_t(inCall),
                                                QString::fromUtf8(aDay.data(), int(aDay.size())));
        }
        if (ipId && !aText.empty()) {
            std::string sId;
            bool bNumber = false;
            if (ipId->eType == Type::Number && std::isfinite(ipId->fNumber)) {
                JsText::appendNumber(ipId->fNumber, sId);
                bNumber = true;
            } else if (ipId->eType == Type::String && ipId->nTextLength > 0) {
                sId = std::string(stringOf(*ipId));
            }
            std::string s19;
            if (bNumber || !sId.empty())
                nNoteKey = CallIndex::noteKeyHash(bNumber, sId, JsText::leadingUnits(aText, 19, s19));
        }
    }
    mrIndex.maTimeKey.push_back(fKey);
    mrIndex.maDay.push_back(nDay);
    mrIndex.maNoteKey.push_back(nNoteKey);
}
