#include "generator/driver.h"

// The generator takes no arguments; any that are given are ignored.
int main() { return textresgen::RunGenerator(); }
