#pragma once

// How a command ended: done, the question answered no, or its first failure.
enum class Outcome { Done, Declined, CardError, OutputError, ContentError };
