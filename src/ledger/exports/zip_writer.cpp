#include "ledger/exports/zip_writer.h"

#include <zip.h>
#include <zlib.h>

#include <ctime>
#include <stdexcept>

#include "ledger/records/input_files.h"

#ifdef _WIN32
#include <iowin32.h>
#endif

namespace th::ledger {

namespace {

constexpr unsigned long kUtf8Names = 1u << 11;  // general purpose flag: names are UTF-8

}  // namespace

ZipWriter::ZipWriter(const std::filesystem::path& path) : name_(Utf8FromPath(path)) {
#ifdef _WIN32
  zlib_filefunc64_def files;
  fill_win32_filefunc64W(&files);  // wide names: the path may hold any character
  zip_ = zipOpen2_64(path.c_str(), APPEND_STATUS_CREATE, nullptr, &files);
#else
  zip_ = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
#endif
  if (!zip_) throw std::runtime_error("書き込めません / cannot write: " + name_);
}

ZipWriter::~ZipWriter() {
  if (zip_) zipClose(zip_, nullptr);
}

void ZipWriter::add(const std::string& utf8Name, std::string_view bytes) {
  zip_fileinfo info{};
  const std::time_t now = std::time(nullptr);
  if (const std::tm* t = std::localtime(&now)) {
    info.tmz_date = {static_cast<uInt>(t->tm_sec), static_cast<uInt>(t->tm_min), static_cast<uInt>(t->tm_hour),
                     static_cast<uInt>(t->tm_mday), static_cast<uInt>(t->tm_mon), static_cast<uInt>(t->tm_year + 1900)};
  }
  const bool ok =
      zipOpenNewFileInZip4_64(zip_, utf8Name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                              Z_DEFAULT_COMPRESSION, 0, -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr, 0, 0,
                              kUtf8Names, 0) == ZIP_OK &&
      zipWriteInFileInZip(zip_, bytes.data(), static_cast<unsigned>(bytes.size())) == ZIP_OK &&
      zipCloseFileInZip(zip_) == ZIP_OK;
  if (!ok) throw std::runtime_error("書き込めません / cannot write: " + name_);
}

void ZipWriter::close() {
  void* zip = zip_;
  zip_ = nullptr;
  if (zipClose(zip, nullptr) != ZIP_OK) throw std::runtime_error("書き込めません / cannot write: " + name_);
}

}  // namespace th::ledger
