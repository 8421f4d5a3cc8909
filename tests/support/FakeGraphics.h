#pragma once
// Older name of the recording graphics context, kept for the tests written against it.
#include "RecordingGraphics.h"

namespace testsupport {
using FakeGraphics = RecordingGraphics;
using FakeControl = TestControl;
} // namespace testsupport
