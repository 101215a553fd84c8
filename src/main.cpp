#include "app/UiStart.h"

int main(int argc, char** argv) { return bravel::Main(argc, argv); }
