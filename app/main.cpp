#include "app/Startup.h"

int main(int, char** argv) { return Startup::run(argv[0]); }
