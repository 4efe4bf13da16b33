#include "costrak_res_decode_ahead.h"

#include <memory>
#include <new>
#include <system_error>

#include "o2d_read_file.h"

CO2DDecodeAhead::CO2DDecodeAhead(std::vector<Job> jobs)
    : m_jobs(std::move(jobs)), m_states(m_jobs.size(), State::Pending), m_images(m_jobs.size()) {
  if (m_jobs.empty()) return;
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

bool CO2DDecodeAhead::Take(const std::string& id, O2DImage& out) {
  std::unique_lock lock(m_mutex);
  for (size_t i = 0; i < m_jobs.size(); ++i) {
    if (m_jobs[i].id != id) continue;
    m_changed.wait(lock, [&] { return m_states[i] != State::Running; });
    const bool done = m_states[i] == State::Done;
    if (done) {
      out = std::move(m_images[i]);
      m_held -= out.rgba.size();
    }
    m_states[i] = State::Gone;
    m_changed.notify_all();
    return done;
  }
  return false;
}

void CO2DDecodeAhead::WaitForThread() {
  std::unique_lock lock(m_mutex);
  m_changed.wait(lock, [&] { return m_idle || !m_thread.joinable(); });
}

void CO2DDecodeAhead::Run() {
  for (size_t i = 0; i < m_jobs.size(); ++i) {
    {
      std::unique_lock lock(m_mutex);
      m_idle = m_held >= kHeldLimit;
      if (m_idle) m_changed.notify_all();
      m_changed.wait(lock, [&] { return m_stop || m_held < kHeldLimit; });
      m_idle = false;
      if (m_stop) break;
      if (m_states[i] != State::Pending) continue;
      m_states[i] = State::Running;
    }
    // Any failure leaves the image to the loader, which reports it.
    O2DImage image;
    bool ok = false;
    try {
      const Job& job = m_jobs[i];
      CReadFile file;
      if (file.Open(job.path.c_str()) && file.Reaches(uint64_t{job.offset} + job.size)) {
        std::unique_ptr<uint8_t[]> bytes(new uint8_t[job.size]);
        ok = file.ReadAt(bytes.get(), job.size, job.offset) == job.size && O2D_DecodeImage(bytes.get(), job.size, image);
      }
    } catch (const std::bad_alloc&) {
      ok = false;
    }
    {
      std::lock_guard lock(m_mutex);
      m_states[i] = ok ? State::Done : State::Gone;
      if (ok) {
        m_held += image.rgba.size();
        m_images[i] = std::move(image);
      }
    }
    m_changed.notify_all();
  }
  std::lock_guard lock(m_mutex);
  m_idle = true;
  m_changed.notify_all();
}
