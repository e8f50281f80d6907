#pragma once

// The whole of corvanectl; main() only calls it.
int corvanectlMain(int argc, char **argv);
