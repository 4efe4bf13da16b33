#pragma once
// Start-up decode-ahead: while the window and the device are being made, a second
// thread decodes the images of the registered textures, in registration order, so
// that loading one only converts and uploads it. The loader takes an image by its
// resource ID, waiting when that image is being decoded; one not yet started is
// left to the loader. What start-up has not taken is dropped with this object.
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "o2d_image_loader.h"

class CO2DDecodeAhead {
 public:
  struct Job {
    std::string id;
    std::string path;  // the image file, or the pack that holds it
    uint32_t offset = 0;
    uint32_t size = 0;
  };
  // Decoded images held at once, in bytes; the thread waits for takes beyond it.
  static constexpr size_t kHeldLimit = 32u * 1024 * 1024;

  explicit CO2DDecodeAhead(std::vector<Job> jobs);
  ~CO2DDecodeAhead();  // stops the thread and waits for it
  CO2DDecodeAhead(const CO2DDecodeAhead&) = delete;
  CO2DDecodeAhead& operator=(const CO2DDecodeAhead&) = delete;

  // The decoded image of resource `id`; false when there is none to take (never
  // registered here, not started, failed, or taken before).
  bool Take(const std::string& id, O2DImage& out);
  // Until the thread has nothing left it may do: every job tried, or the held
  // images at the limit. For tests; a loader never needs it.
  void WaitForThread();

 private:
  enum class State { Pending, Running, Done, Gone };
  void Run();

  std::vector<Job> m_jobs;
  std::vector<State> m_states;
  std::vector<O2DImage> m_images;
  size_t m_held = 0;
  bool m_stop = false;
  bool m_idle = false;  // the thread waits for takes, or has ended
  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::thread m_thread;  // last: it starts once the rest is made
};
