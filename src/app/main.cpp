#include "app/Application.h"

int main(int argc, char** argv) { return keyloom::RunKeyloom(argc, argv); }
