#include "tests/mood/MoodTestSupport.h"

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <new>
#include <random>

#include "library/mood/MoodClassTables.h"

namespace {

// The B slot of each class input and its weight, in input order.
const int kClassInputSlot[kMoodClassInputs] = {27, 25, 1, 32, 34, 9, 22, 30, 2, 7, 33, 23, 4, 21, 35, 6};
const double kClassInputWeight[kMoodClassInputs] = {
    1.0, 1.5936758518219, 1.15345323085785, 2.74915981292725, 1.5135612487793, 1.0, 1.69746172428131,
    1.22800469398499, 2.7302348613739, 1.0, 1.75307297706604, 0.761728167533875, 0.945366084575653, 1.0,
    0.920025825500488, 0.637382328510284};

// The STHF identifier (0x800 + n) that fills each H slot.
int SthfIdOfSlot(int slot) {
  static const int kSlotOfN[kMoodSlotsH] = {15, 16, 12, 1,  17, 4,  0,  13, 5,  7,  18, 10, 9,  19,
                                            6,  8,  20, 21, 22, 2,  23, 24, 25, 26, 27, 3,  28, 29,
                                            30, 31, 32, 14, 33, 34, 35, 36, 11, 37, 38, 39};
  for (int n = 0; n < kMoodSlotsH; ++n) {
    if (kSlotOfN[n] == slot) return 0x800 + n;
  }
  return -1;
}

std::atomic<bool> g_failAllocations{false};

}  // namespace

MoodSong::MoodSong() {
  std::memset(m, kMoodSlotAbsent, sizeof(m));
  std::memset(h, kMoodSlotAbsent, sizeof(h));
  std::memset(b, kMoodSlotAbsent, sizeof(b));
}

std::vector<uint8_t> MoodSong::Payload() const {
  std::vector<uint8_t> payload;
  AppendMoodRecord(payload, "STBF", std::vector<uint8_t>(b, b + kMoodSlotsB));
  // Entry k of an STMO record clears M k before it sets its own slot, so the engine writes all
  // ten entries in slot order.
  std::vector<uint8_t> stmo;
  bool anyM = false;
  for (int i = 0; i < kMoodSlotsM; ++i) anyM = anyM || m[i] != kMoodSlotAbsent;
  for (int i = 0; anyM && i < kMoodSlotsM; ++i) {
    std::vector<uint8_t> entry(16, 0);
    entry[0] = 0x01;
    entry[1] = uint8_t(i);
    entry[3] = m[i];
    stmo.insert(stmo.end(), entry.begin(), entry.end());
  }
  if (!stmo.empty()) AppendMoodRecord(payload, "STMO", stmo);
  std::vector<uint8_t> sthf;
  for (int i = 0; i < kMoodSlotsH; ++i) {
    if (h[i] == kMoodSlotAbsent) continue;
    const int id = SthfIdOfSlot(i);
    sthf.insert(sthf.end(), {uint8_t(id >> 8), uint8_t(id & 0xFF), h[i], 0});
  }
  if (!sthf.empty()) AppendMoodRecord(payload, "STHF", sthf);
  return payload;
}

MoodSong SongOfClass(int moodClass) {
  MoodSong song;
  for (int i = 0; i < kMoodSlotsB; ++i) song.b[i] = 50;
  for (int j = 0; j < kMoodClassInputs; ++j) {
    song.b[kClassInputSlot[j]] = uint8_t(std::lround(kMoodClassCentroids[moodClass - 1][j] / kClassInputWeight[j]));
  }
  return song;
}

void AppendMoodRecord(std::vector<uint8_t>& payload, const char* tag, const std::vector<uint8_t>& data) {
  payload.insert(payload.end(), tag, tag + 4);
  payload.insert(payload.end(), 12, 0);
  const uint32_t length = uint32_t(data.size());
  payload.insert(payload.end(),
                 {uint8_t(length >> 24), uint8_t(length >> 16), uint8_t(length >> 8), uint8_t(length)});
  payload.insert(payload.end(), data.begin(), data.end());
}

double ReferenceCdf(double x) { return 0.5 * std::erfc(-x / std::sqrt(2.0)); }

ScopedMoodFolder::ScopedMoodFolder() {
  std::random_device seed;
  folder_ = std::filesystem::temp_directory_path() / ("mood_tests_" + std::to_string(seed()));
  std::filesystem::create_directories(folder_);
}

ScopedMoodFolder::~ScopedMoodFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

std::wstring ScopedMoodFolder::Root() const { return folder_.wstring(); }

std::wstring ScopedMoodFolder::Path(const std::wstring& relative) const { return Root() + L"\\" + relative; }

std::filesystem::path LocalPath(const std::wstring& path) {
#ifdef _WIN32
  return std::filesystem::path(path);
#else
  std::wstring local = path;
  for (wchar_t& c : local) {
    if (c == L'\\') c = L'/';
  }
  return std::filesystem::path(local);
#endif
}

std::string ReadFileBytes(const std::wstring& path) {
  std::ifstream in(LocalPath(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream out(LocalPath(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
}

bool FileExists(const std::wstring& path) { return std::filesystem::is_regular_file(LocalPath(path)); }

std::string Utf16Le(const std::wstring& text) {
  std::string bytes;
  for (wchar_t c : text) {
    bytes += char(c & 0xFF);
    bytes += char((c >> 8) & 0xFF);
  }
  return bytes;
}

std::string ChannelListBytes(const std::vector<std::wstring>& entries) {
  std::wstring text = std::to_wstring(entries.size()) + L"\r\n";
  for (const std::wstring& entry : entries) text += entry + L"\r\n";
  return Utf16Le(text);
}

ScopedAllocationFailure::ScopedAllocationFailure() { g_failAllocations = true; }
ScopedAllocationFailure::~ScopedAllocationFailure() { g_failAllocations = false; }

// Replaced for the whole test program so tests can make allocation fail on purpose.
void* operator new(std::size_t size) {
  if (g_failAllocations) throw std::bad_alloc();
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  if (g_failAllocations) return nullptr;
  return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
