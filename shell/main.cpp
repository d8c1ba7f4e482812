#include "shell/startup.h"

int main(int argc, char** argv) { return kinolux::RunKinolux(argc, argv); }
