#pragma once
#include <QTemporaryDir>
#include <fstream>
#include <sstream>
#include <string>

// A fresh folder per test, removed afterwards, with small file helpers.
class TempDir {
 public:
  std::string Path() const { return dir_.path().toStdString(); }
  std::string File(const std::string& name) const { return Path() + "/" + name; }
  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(File(name), std::ios::binary) << bytes;
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(File(name), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

 private:
  QTemporaryDir dir_;
};
