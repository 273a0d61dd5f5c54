#include "Engine/Texture2D.h"
#include "Logging/LogCapture.h"
#include "UObject/Package.h"
#include "UObject/UObjectGlobals.h"

#include <gtest/gtest.h>

TEST(Texture2DTest, CreateTransientMakesOneZeroedMip)
{
	UTexture2D* Texture = UTexture2D::CreateTransient(4, 2);
	ASSERT_NE(Texture, nullptr);
	EXPECT_EQ(Texture->GetOuter(), GetTransientPackage());
	EXPECT_EQ(Texture->GetSizeX(), 4);
	EXPECT_EQ(Texture->GetSizeY(), 2);
	EXPECT_EQ(Texture->GetPixelFormat(), PF_B8G8R8A8);
	FTexture2DMipMap& Mip = Texture->GetPlatformData()->Mips[0];
	ASSERT_EQ(Mip.BulkData.GetBulkDataSize(), 4 * 2 * 4);
	const uint8* Texels = static_cast<const uint8*>(Mip.BulkData.LockReadOnly());
	EXPECT_EQ(Texels[31], 0);
	Mip.BulkData.Unlock();
}

TEST(Texture2DTest, BadSizesOrFormatsGiveNull)
{
	FLogCapture Capture;
	EXPECT_EQ(UTexture2D::CreateTransient(0, 4), nullptr);
	EXPECT_EQ(UTexture2D::CreateTransient(4, -1), nullptr);
	EXPECT_EQ(UTexture2D::CreateTransient(4, 4, PF_Unknown), nullptr);
	EXPECT_EQ(Capture.GetMessages(ELogVerbosity::Warning).Num(), 3);
}

TEST(Texture2DTest, BulkDataLockingIsChecked)
{
	FByteBulkData Data;
	EXPECT_THROW(Data.Unlock(), FCheckFailure);
	Data.LockReadOnly();
	EXPECT_THROW(Data.Lock(LOCK_READ_WRITE), FCheckFailure);
	Data.Unlock();
	Data.Lock(LOCK_READ_ONLY);
	EXPECT_THROW(Data.Realloc(8), FCheckFailure);
	Data.Unlock();
	Data.Lock(LOCK_READ_WRITE);
	EXPECT_EQ(Data.GetBulkDataSize(), 0);
	uint8* Bytes = static_cast<uint8*>(Data.Realloc(3));
	Bytes[2] = 7;
	Data.Unlock();
	EXPECT_EQ(static_cast<const uint8*>(Data.LockReadOnly())[2], 7);
	Data.Unlock();
}
