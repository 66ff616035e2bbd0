// make-demo-style [OUT]: writes the project's demo style (default
// examples/Demo.sty), the style a new user hears at once.
#include <cstdio>
#include <fstream>
#include <iostream>

#include "demo_style.h"

int main(int argc, char** argv) {
  if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
    std::cerr << "usage: make-demo-style [OUT]\n";
    return 2;
  }
  const char* path = argc == 2 ? argv[1] : "examples/Demo.sty";
  const vambrio::demo::Bytes bytes = vambrio::demo::BuildDemoStyle();
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  f.close();
  if (!f) {
    std::perror(path);
    return 1;
  }
  return 0;
}
