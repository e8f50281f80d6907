#include "ctlmain.h"

int main(int argc, char **argv)
{
    return corvanectlMain(argc, argv);
}
