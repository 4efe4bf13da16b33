#include "costrak_res_decode_ahead.h"

#include <exception>
#include <memory>
#include <system_error>

#include "o2d_read_file.h"

CO2DDecodeAhead::CO2DDecodeAhead(std::vector<Job> jobs)
    : m_jobs(std::move(jobs)),
      m_states(m_jobs.size(), State::Pending),
      m_images(m_jobs.size()),
      m_textures(m_jobs.size()) {}

void CO2DDecodeAhead::Start() {
  if (m_jobs.empty() || m_thread.joinable()) return;
  try {
    m_thread = std::thread(&CO2DDecodeAhead::Run, this);
  } catch (const std::system_error&) {
    // No second thread: every image is left to the loader.
  }
}

CO2DDecodeAhead::~CO2DDecodeAhead() {
  {
    std::lock_guard lock(m_mutex);
    m_stop = true;
  }
  m_changed.notify_all();
  if (m_thread.joinable()) m_thread.join();
}

void CO2DDecodeAhead::MakeAhead(const std::function<O2DTextureRequest(const Job&)>& request) {
  std::vector<O2DTextureRequest> requests;
  for (const Job& job : m_jobs) requests.push_back(request(job));
  {
    std::lock_guard lock(m_mutex);
    if (!m_requests.empty()) return;
    m_requests = std::move(requests);
    m_idle = m_idle && NextWork() == m_jobs.size();
  }
  m_changed.notify_all();
}

bool CO2DDecodeAhead::Take(const std::string& id, const O2DTextureRequest& request, O2DImageTexture& out) {
  std::unique_lock lock(m_mutex);
  for (size_t i = 0; i < m_jobs.size(); ++i) {
    if (m_jobs[i].id != id) continue;
    m_changed.wait(lock, [&] { return m_states[i] != State::Running; });
    const State state = m_states[i];
    m_states[i] = State::Gone;
    O2DImage image = std::move(m_images[i]);
    O2DImageTexture texture = std::move(m_textures[i]);
    m_held -= image.rgba.size() + texture.pixels.size();
    m_idle = m_idle && NextWork() == m_jobs.size();
    lock.unlock();
    m_changed.notify_all();
    if (state == State::Made && m_requests[i] == request) {
      out = std::move(texture);
      return true;
    }
    return state == State::Decoded && O2D_MakeImageTexture(std::move(image), request, out);
  }
  return false;
}

void CO2DDecodeAhead::WaitForThread() {
  std::unique_lock lock(m_mutex);
  m_changed.wait(lock, [&] { return m_idle || !m_thread.joinable(); });
}

size_t CO2DDecodeAhead::NextWork() const {
  for (size_t i = 0; i < m_jobs.size(); ++i) {
    if (m_states[i] == State::Pending && m_held < kHeldLimit) return i;
    if (m_states[i] == State::Decoded && !m_requests.empty()) return i;
  }
  return m_jobs.size();
}

void CO2DDecodeAhead::Run() {
  std::unique_lock lock(m_mutex);
  for (;;) {
    size_t i = NextWork();
    if (i == m_jobs.size() && !m_stop) {
      m_idle = true;
      m_changed.notify_all();
      m_changed.wait(lock, [&] { return m_stop || (i = NextWork()) < m_jobs.size(); });
      m_idle = false;
    }
    if (m_stop) break;
    const bool decode = m_states[i] == State::Pending;
    m_states[i] = State::Running;
    // Nothing else touches a running job's image; any failure leaves the job to
    // the loader, which reports it.
    O2DImage image = std::move(m_images[i]);
    const size_t imageBytes = image.rgba.size();
    const O2DTextureRequest request = decode ? O2DTextureRequest{} : m_requests[i];
    lock.unlock();
    O2DImageTexture texture;
    bool ok = false;
    try {
      if (decode) {
        const Job& job = m_jobs[i];
        CReadFile file;
        if (file.Open(job.path.c_str()) && file.Reaches(uint64_t{job.offset} + job.size)) {
          std::unique_ptr<uint8_t[]> bytes(new uint8_t[job.size]);
          ok = file.ReadAt(bytes.get(), job.size, job.offset) == job.size &&
               O2D_DecodeImage(bytes.get(), job.size, image);
        }
      } else {
        ok = O2D_MakeImageTexture(std::move(image), request, texture);
      }
    } catch (const std::exception&) {
      ok = false;  // the loader meets the same and reports it
    }
    lock.lock();
    m_held -= imageBytes;
    if (!ok) {
      m_states[i] = State::Gone;
    } else if (decode) {
      m_states[i] = State::Decoded;
      m_held += image.rgba.size();
      m_images[i] = std::move(image);
    } else {
      m_states[i] = State::Made;
      m_held += texture.pixels.size();
      m_textures[i] = std::move(texture);
    }
    m_changed.notify_all();
  }
  m_idle = true;
  m_changed.notify_all();
}
