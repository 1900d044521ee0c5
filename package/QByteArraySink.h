#pragma once
#include <QByteArray>

#include <cryptopp/filters.h>

// Last stage of every member read: appends what it receives to a byte array
// (the buffer behind a QBuffer; the device position is left alone).
class QByteArraySink : public CryptoPP::Bufferless<CryptoPP::Sink>
{
public:
    explicit QByteArraySink(QByteArray& irTarget);

    size_t Put2(const CryptoPP::byte* ipInput, size_t inLength, int inMessageEnd, bool ibBlocking) override;

private:
    QByteArray& maTarget;
};
