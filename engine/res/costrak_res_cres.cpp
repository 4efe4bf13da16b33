#include "costrak_res_cres.h"

#include <new>

#include "costrak_ehs.h"
#include "costrak_res_packfile.h"

static constexpr int EHS_FILE_ID = EHSF_COSTRAK_RES_CRES;

CO2DResource::CO2DResource(const std::string& id, const std::string& typeName, int32_t tag,
                           const std::string& filePath, uint32_t offset, int32_t size, int32_t data1, int32_t data2,
                           int32_t data3)
    : m_strID(id),
      m_strTypeName(typeName),
      m_iTag(tag),
      m_strFilePath(filePath),
      m_iData1(data1),
      m_iData2(data2),
      m_iData3(data3),
      m_uOffset(offset),
      m_uSize(0) {
  EHS_CP();
  if (id.empty()) EHS_RAISE(EHS_GENERAL, 0, "Invalid resource ID!");
  if (typeName.empty()) EHS_RAISE(EHS_GENERAL, 0, "Invalid resource type ID!");
  if (filePath.empty()) EHS_RAISE(EHS_GENERAL, 0, "Invalid resource filename!");
  if (size < 1) EHS_RAISE(EHS_GENERAL, 0, "Invalide resource name - check if resource file exist!");
  m_uSize = static_cast<uint32_t>(size);
}

void CO2DResource::DataLoad() {
  EHS_CP();
  if (m_bLoaded) EHS_RAISE(EHS_GENERAL, 0, "Internal error in CO2DResource::DataLoad()!");
  // A missing file or one that ends before offset + size (also a pack cut short
  // after it was registered) would hand undefined bytes to a loader, so it is an
  // error; checked before the buffer is made, and the read itself must be whole.
  CReadFile loose;
  if (!m_pPack) loose.Open(m_strFilePath.c_str());
  const uint64_t end = uint64_t{m_uOffset} + m_uSize;
  if (!(m_pPack ? m_pPack->Reaches(end) : loose.Reaches(end)))
    EHS_RAISE(EHS_GENERAL, 0, "Cannot read resource data! File = " + m_strFilePath);
  std::unique_ptr<uint8_t[]> data(new (std::nothrow) uint8_t[m_uSize]);
  if (!data) EHS_RAISE(EHS_GENERAL, 0, "Cannot create resource data buffer!");
  const bool whole = m_pPack ? m_pPack->Read(data.get(), m_uSize, m_uOffset)
                             : loose.ReadAt(data.get(), m_uSize, m_uOffset) == m_uSize;
  if (!whole) EHS_RAISE(EHS_GENERAL, 0, "Cannot read resource data! File = " + m_strFilePath);
  m_pData = std::move(data);
  m_bLoaded = true;
}

void CO2DResource::DataUnLoad() {
  EHS_CP();
  if (!m_bLoaded || !m_pData) EHS_RAISE(EHS_GENERAL, 0, "Internal error in CO2DResource::DataUnLoad()!");
  m_pData.reset();
  m_bLoaded = false;
}
