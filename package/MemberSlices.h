#pragma once
// A member decrypted and inflated on a thread of its own into one buffer, a
// slice at a time, script line breaks turned into spaces as the plain read
// does, so that a reader takes the text on while the rest is still being
// decoded (decoding and reading then overlap on two cores).
#include "Package.h"

#include <QFile>

#include <cryptopp/aes.h>
#include <cryptopp/modes.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

class MemberSlices
{
public:
    using Decryption = CryptoPP::CFB_Mode<CryptoPP::AES>::Decryption;
    struct Progress
    {
        qint64 nDecoded = 0;
        bool bEnded = false;  // the stream ended, its trailer checked
        bool bFailed = false; // damaged, cut short, or larger than the room
    };

    // inAhead: how far the decoder may get ahead of what the reader has
    // taken on (0: no bound; the text stays whole anyway).
    explicit MemberSlices(qint64 inAhead = 0);
    // Stops the decoder and waits for it.
    ~MemberSlices();
    MemberSlices(const MemberSlices&) = delete;
    MemberSlices& operator=(const MemberSlices&) = delete;

    // Starts decoding inStored bytes from the place of ipFile (opened,
    // positioned) into ipOut, which holds inCapacity bytes; ipDecryption
    // (may be null) is keyed already. False when no thread can be had.
    bool start(std::unique_ptr<QFile> ipFile, qint64 inStored, const PackageFileStamp& irStamp,
               std::unique_ptr<Decryption> ipDecryption, char* ipOut, qint64 inCapacity);
    // The member irSource names, decoded into irRoom, which is sized to the
    // member's stated size here. False, with nothing started, when decodeSource
    // would not decode it in one piece either (or no thread can be had).
    bool start(const Package::MemberSource& irSource, qint64 inMaxSize, QByteArray& irRoom);

    // Waits until more than inSeen bytes are decoded, the stream ended or
    // failed; what it returns counts as taken on.
    Progress wait(qint64 inSeen);

private:
    void decode();
    void decodeSlices();
    bool publish(qint64 inDecoded, bool ibEnded, bool ibFailed);

    const qint64 mnAhead;
    std::unique_ptr<QFile> mpFile;
    qint64 mnStored = 0;
    PackageFileStamp maStamp;
    std::unique_ptr<Decryption> mpDecryption;
    char* mpOut = nullptr;
    qint64 mnCapacity = 0;

    std::mutex maMutex;
    std::condition_variable maChanged; // for the reader
    std::condition_variable maTaken;   // for the decoder
    Progress maProgress;
    qint64 mnTaken = 0;
    bool mbStop = false;
    std::thread maThread;
};
