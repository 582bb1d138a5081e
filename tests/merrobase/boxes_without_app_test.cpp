// MerroBase's failure boxes in a host program that has no Qt application:
// each is a line on standard error, caption and text in UTF-8.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "merrobase/sound_wave.h"
#include "merrobase/sql_direct.h"
#include "odbc_fixture.h"

using BoxesWithoutApp = OdbcTest;

TEST_F(BoxesWithoutApp, SoundAndDatabaseFailuresAreWrittenToStandardError) {
  ASSERT_EQ(QCoreApplication::instance(), nullptr);
  testing::internal::CaptureStderr();
  CSoundWave wave;
  wave.SetFileName("C:\\snd\\missing.wav");
  EXPECT_EQ(wave.ReadFile(0, 4), 0);
  CSQLDirect db;
  db.Init();
  db.m_nShowError = 1;
  EXPECT_LT(db.Connect(0, "missing", "", ""), 0);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("Error: open file error\n"), std::string::npos) << err;
  EXPECT_NE(err.find(u8"警告: [unixODBC][Driver Manager]Data source name not found and no default driver specified\n"),
            std::string::npos)
      << err;
}
