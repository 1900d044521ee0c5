#include "AudioFormat.h"

AudioFormat::~AudioFormat() = default;
