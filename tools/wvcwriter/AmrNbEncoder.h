#pragma once
// AMR frames (12.2 kbit/s) in storage format, through opencore-amrnb.
#include "FrameEncoder.h"

namespace wvctools {

class AmrNbEncoder : public FrameEncoder
{
public:
    AmrNbEncoder();
    ~AmrNbEncoder() override;
    AmrNbEncoder(const AmrNbEncoder&) = delete;
    AmrNbEncoder& operator=(const AmrNbEncoder&) = delete;

    static constexpr uint32_t kFrameSamples = 160;

    uint32_t codecId() const override;
    int encode(const int16_t* ipSamples, int inCount, uint8_t* ipOutput, int inCapacity,
               std::string& irsError) override;

private:
    void* mpState;
};

} // namespace wvctools
