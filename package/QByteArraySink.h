#pragma once
#include <QByteArray>

#include <cryptopp/filters.h>

// Last stage of every member read: appends what it receives to a byte array
// (the buffer behind a QBuffer; the device position is left alone). It also
// offers room at the end of the array, so that the stage before it can write
// its output in place instead of through a copy.
class QByteArraySink : public CryptoPP::Bufferless<CryptoPP::Sink>
{
public:
    explicit QByteArraySink(QByteArray& irTarget);

    CryptoPP::byte* CreatePutSpace(size_t& irnSize) override;
    size_t Put2(const CryptoPP::byte* ipInput, size_t inLength, int inMessageEnd, bool ibBlocking) override;

private:
    QByteArray& maTarget;
    int mnCommitted = -1; // size of the array before the offered room; -1 when none is offered
};
