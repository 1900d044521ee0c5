#pragma once
// AMR-WB frames (23.85 kbit/s) in storage format, through vo-amrwbenc.
#include "FrameEncoder.h"

namespace wvctools {

class AmrWbEncoder : public FrameEncoder
{
public:
    AmrWbEncoder();
    ~AmrWbEncoder() override;
    AmrWbEncoder(const AmrWbEncoder&) = delete;
    AmrWbEncoder& operator=(const AmrWbEncoder&) = delete;

    static constexpr uint32_t kFrameSamples = 320;

    uint32_t codecId() const override;
    int encode(const int16_t* ipSamples, int inCount, uint8_t* ipOutput, int inCapacity,
               std::string& irsError) override;

private:
    void* mpState;
};

} // namespace wvctools
