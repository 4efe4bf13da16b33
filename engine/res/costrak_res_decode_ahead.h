#pragma once
// Start-up decode-ahead: while the device is being made, a second thread decodes
// the images of the registered textures, in the order of its jobs.
// Once told what texture each will become, it also makes them (scaling, mip levels,
// format), so that loading one only uploads it. The loader takes a texture by its
// resource ID, waiting when that one is being worked on; one not yet started is
// left to the loader. What start-up has not taken is dropped with this object.
#include <condition_variable>
#include <cstdint>
#include <functional>
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
    int32_t formatSlot = 0, mipLevels = 0, textureSize = 0;  // the resource's parameters
  };
  // Images and textures held at once, in bytes; the thread decodes no more beyond it.
  static constexpr size_t kHeldLimit = 32u * 1024 * 1024;

  explicit CO2DDecodeAhead(std::vector<Job> jobs);
  ~CO2DDecodeAhead();  // stops the thread and waits for it
  // Starts the thread; later calls do nothing. Until then every job is left to the loader.
  void Start();
  CO2DDecodeAhead(const CO2DDecodeAhead&) = delete;
  CO2DDecodeAhead& operator=(const CO2DDecodeAhead&) = delete;

  // From now on the thread makes every image it has decoded into the texture
  // `request` gives for its job (asked here, on the caller's thread). Once only.
  void MakeAhead(const std::function<O2DTextureRequest(const Job&)>& request);
  // The texture of resource `id` for `request`: made ahead, or made now from the
  // image decoded ahead. False when there is none to take (never registered here,
  // not started, failed, taken before, or made for another request).
  bool Take(const std::string& id, const O2DTextureRequest& request, O2DImageTexture& out);
  // Until the thread has nothing left it may do: every job tried (and made, once
  // told how), or the held bytes at the limit. For tests; a loader never needs it.
  void WaitForThread();

 private:
  enum class State { Pending, Running, Decoded, Made, Gone };
  size_t NextWork() const;  // under the lock; m_jobs.size() when there is none
  void Run();

  std::vector<Job> m_jobs;
  std::vector<State> m_states;
  std::vector<O2DImage> m_images;
  std::vector<O2DImageTexture> m_textures;
  std::vector<O2DTextureRequest> m_requests;  // empty until MakeAhead
  size_t m_held = 0;
  bool m_stop = false;
  bool m_idle = false;  // the thread waits for takes or for requests, or has ended
  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::thread m_thread;  // runs Run() from Start() on
};
