#include "Engine/Texture2D.h"

#include "UObject/Package.h"
#include "UObject/UObjectGlobals.h"

#include <cstring>

UTexture2D* UTexture2D::CreateTransient(int32 InSizeX, int32 InSizeY, EPixelFormat InFormat, FName InName)
{
	const int32 BytesPerTexel = GetPixelFormatBytes(InFormat);
	if (InSizeX <= 0 || InSizeY <= 0 || BytesPerTexel == 0)
	{
		UE_LOG(LogTemp, Warning, TEXT("Invalid parameters specified for UTexture2D::CreateTransient()"));
		return nullptr;
	}
	UTexture2D* Texture = NewObject<UTexture2D>(GetTransientPackage(), InName, RF_Transient);
	auto Data = std::make_unique<FTexturePlatformData>();
	Data->SizeX = InSizeX;
	Data->SizeY = InSizeY;
	Data->PixelFormat = InFormat;
	FTexture2DMipMap& Mip = Data->Mips.AddDefaulted_GetRef();
	Mip.SizeX = InSizeX;
	Mip.SizeY = InSizeY;
	Mip.BulkData.Lock(LOCK_READ_WRITE);
	void* Texels = Mip.BulkData.Realloc(static_cast<int64>(InSizeX) * InSizeY * BytesPerTexel);
	std::memset(Texels, 0, static_cast<SIZE_T>(Mip.BulkData.GetBulkDataSize()));
	Mip.BulkData.Unlock();
	Texture->SetPlatformData(std::move(Data));
	return Texture;
}
