// How a long operation tells its caller how far it has come, so that the operation itself never draws.
#pragma once

// done of total units; what each operation reports when is said where it is declared.
using ProgressFn = void (*)(unsigned done, unsigned total);
