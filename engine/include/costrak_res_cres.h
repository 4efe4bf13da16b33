#pragma once
// CO2DResource: the record of one registered resource. Its bytes are read into
// memory only around one load by a LoadRes function.
#include <cstdint>
#include <memory>
#include <string>

class CO2DPackFile;

class CO2DResource {
 public:
  CO2DResource(const std::string& id, const std::string& typeName, int32_t tag, const std::string& filePath,
               uint32_t offset, int32_t size, int32_t data1, int32_t data2, int32_t data3);

  // The records of one pack share the pack, opened once, and read through it; a
  // record without one opens its path for each load.
  void SetPack(std::shared_ptr<CO2DPackFile> pack) { m_pPack = std::move(pack); }

  void DataLoad();
  void DataUnLoad();
  const uint8_t* GetData() const { return m_bLoaded ? m_pData.get() : nullptr; }
  const std::string& GetFileName() const { return m_strFilePath; }

  const std::string& GetID() const { return m_strID; }
  const std::string& GetTypeName() const { return m_strTypeName; }
  int32_t GetTag() const { return m_iTag; }
  uint32_t GetOffset() const { return m_uOffset; }
  uint32_t GetSize() const { return m_uSize; }
  int32_t GetData1() const { return m_iData1; }
  int32_t GetData2() const { return m_iData2; }
  int32_t GetData3() const { return m_iData3; }
  bool IsLoaded() const { return m_bLoaded; }

 private:
  std::string m_strID;
  std::string m_strTypeName;
  int32_t m_iTag;
  std::string m_strFilePath;
  int32_t m_iData1, m_iData2, m_iData3;
  uint32_t m_uOffset;
  uint32_t m_uSize;
  bool m_bLoaded = false;
  std::unique_ptr<uint8_t[]> m_pData;
  std::shared_ptr<CO2DPackFile> m_pPack;
};
