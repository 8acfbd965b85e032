#include "TestSupport.h"

#include "SyxFormat.h"
#include "SyxProgram.h"

#include <fstream>
#include <unistd.h>

void CTempDirTest::SetUp()
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string unique = std::string("veltrix-") + info->test_suite_name() + "-" + info->name()
                             + "-" + std::to_string(::getpid());
    m_dir = std::filesystem::temp_directory_path() / unique;
    std::filesystem::remove_all(m_dir);
    std::filesystem::create_directories(m_dir);
}

void CTempDirTest::TearDown()
{
    std::error_code ec;
    std::filesystem::remove_all(m_dir, ec);
}

std::string CTempDirTest::PathOf(const std::string& name) const
{
    return (m_dir / name).string();
}

std::string CTempDirTest::WriteFile(const std::string& name, const Bytes& bytes) const
{
    const std::string path = PathOf(name);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    EXPECT_TRUE(out.good()) << path;
    return path;
}

Bytes MakeProgramDataRawName(const Bytes& nameBytes, unsigned char voiceByte, unsigned int seed)
{
    Bytes data(PROGRAM_DATA_SIZE);
    for (unsigned int t = 0; t < PROGRAM_DATA_SIZE; ++t)
        data[t] = static_cast<unsigned char>(t * 37 + seed * 101 + 11);
    for (size_t t = 0; t < 12; ++t)
        data[t] = t < nameBytes.size() ? nameBytes[t] : 0;
    data[16] = voiceByte;
    return data;
}

Bytes MakeProgramData(const std::string& name, unsigned char voiceByte, unsigned int seed)
{
    return MakeProgramDataRawName(Bytes(name.begin(), name.end()), voiceByte, seed);
}

Bytes PackDump(const Bytes& data, unsigned char function, int channel, unsigned char trailerByte)
{
    const auto length = static_cast<unsigned int>(data.size());
    Bytes message(ProgramMessageSize(length));
    const unsigned int written = PackProgramMessage(data.data(), length, channel, message.data(),
                                                    static_cast<unsigned int>(message.size()));
    EXPECT_EQ(written, message.size());
    message[4] = function;
    if (function == FUNC_ALL_DATA_DUMP)
        message.insert(message.end() - 1, ALL_DATA_TRAILER_SIZE, trailerByte);
    return message;
}

Bytes MakeBankData()
{
    Bytes bank;
    for (unsigned int i = 0; i < 128; ++i) {
        const Bytes program = MakeProgramData("P" + std::to_string(i), static_cast<unsigned char>((i % 4) << 4), i);
        bank.insert(bank.end(), program.begin(), program.end());
    }
    return bank;
}
