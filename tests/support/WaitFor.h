// Waiting for a condition on real time without the fixed sleeps of QTest::qWait,
// which would stall the event loop for 10 ms at a time: long enough for two of
// the board's answers to arrive together and be read as one block.
#pragma once

#include <functional>

// Runs the event loop until the condition holds; false if it did not within timeoutMs.
bool WaitFor(const std::function<bool()>& condition, int timeoutMs);
// Runs the event loop for ms milliseconds.
void RunEventsFor(int ms);
