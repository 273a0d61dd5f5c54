#include "Engine/Texture2D.h"

#include "RenderingThread.h"
#include "Texture2DResource.h"
#include "TextureResource.h"
#include "UObject/Package.h"
#include "UObject/UObjectGlobals.h"

#include <cstring>
#include <thread>

namespace
{
	using FDataCleanupFunc = TFunction<void(uint8* SrcData, const FUpdateTextureRegion2D* Regions)>;

	/** Calls the caller's clean-up once when it goes out of scope: after the copy, or when a failed check leaves the command. */
	class FScopedDataCleanup
	{
	public:
		FScopedDataCleanup(FDataCleanupFunc InCleanup, uint8* InSrcData, const FUpdateTextureRegion2D* InRegions)
			: Cleanup(std::move(InCleanup)), SrcData(InSrcData), Regions(InRegions)
		{
		}
		~FScopedDataCleanup()
		{
			if (Cleanup)
			{
				Cleanup(SrcData, Regions);
			}
		}
		FScopedDataCleanup(const FScopedDataCleanup&) = delete;
		FScopedDataCleanup& operator=(const FScopedDataCleanup&) = delete;

	private:
		FDataCleanupFunc Cleanup;
		uint8* SrcData;
		const FUpdateTextureRegion2D* Regions;
	};

	/**
	 * Why the regions cannot be copied into a SizeX × SizeY mip ("" when they can). Sums are
	 * taken in 64 bits, so huge sizes cannot wrap around into a rectangle that seems to fit.
	 */
	FString FindRegionError(int32 SizeX, int32 SizeY, uint32 NumRegions, const FUpdateTextureRegion2D* Regions, uint32 SrcPitch, uint32 SrcBpp)
	{
		for (uint32 Index = 0; Index < NumRegions; ++Index)
		{
			const FUpdateTextureRegion2D& Region = Regions[Index];
			if (uint64(Region.DestX) + Region.Width > uint64(SizeX) || uint64(Region.DestY) + Region.Height > uint64(SizeY))
			{
				return FString::Printf(TEXT("region %u (%u x %u at %u, %u) lies outside the %d x %d mip"), Index, Region.Width, Region.Height,
					Region.DestX, Region.DestY, SizeX, SizeY);
			}
			if (Region.SrcX < 0 || Region.SrcY < 0 || (uint64(Region.SrcX) + Region.Width) * SrcBpp > SrcPitch)
			{
				return FString::Printf(TEXT("region %u (%u x %u from %d, %d) lies outside the source of pitch %u"), Index, Region.Width,
					Region.Height, Region.SrcX, Region.SrcY, SrcPitch);
			}
		}
		return FString();
	}
}

UTexture2D* UTexture2D::CreateTransient(int32 InSizeX, int32 InSizeY, EPixelFormat InFormat, FName InName)
{
	const int32 BytesPerTexel = GetPixelFormatBytes(InFormat);
	if (InSizeX <= 0 || InSizeY <= 0 || BytesPerTexel == 0)
	{
		UE_LOG(LogTemp, Warning, TEXT("Invalid parameters specified for UTexture2D::CreateTransient()"));
		return nullptr;
	}
	UTexture2D* Texture = NewObject<UTexture2D>(GetTransientPackage(), InName, RF_Transient);
	auto Data = FTexturePlatformData::MakeSingleMip(InSizeX, InSizeY, InFormat);
	Texture->SetPlatformData(std::move(Data));
	return Texture;
}

void UTexture2D::UpdateTextureRegions(int32 MipIndex, uint32 NumRegions, FUpdateTextureRegion2D* Regions, uint32 SrcPitch, uint32 SrcBpp,
	uint8* SrcData, TFunction<void(uint8* SrcData, const FUpdateTextureRegion2D* Regions)> DataCleanupFunc)
{
	FString Error;
	const int32 FormatBytes = GetPixelFormatBytes(GetPixelFormat());
	if (!PlatformData || MipIndex < 0 || MipIndex >= PlatformData->Mips.Num())
	{
		Error = FString::Printf(TEXT("mip %d does not exist (the texture has %d)"), MipIndex, PlatformData ? PlatformData->Mips.Num() : 0);
	}
	else if (SrcBpp != static_cast<uint32>(FormatBytes))
	{
		Error = FString::Printf(TEXT("%u bytes per source texel, but the texture's format has %d"), SrcBpp, FormatBytes);
	}
	else if (NumRegions > 0 && (!Regions || !SrcData))
	{
		Error = FString::Printf(TEXT("%u regions without %s"), NumRegions, Regions ? TEXT("source data") : TEXT("a region array"));
	}
	else
	{
		const FTexture2DMipMap& Mip = PlatformData->Mips[MipIndex];
		Error = FindRegionError(Mip.SizeX, Mip.SizeY, NumRegions, Regions, SrcPitch, SrcBpp);
	}
	if (!Error.IsEmpty())
	{
		// The caller handed its buffers over with the call, so they are released even though
		// nothing will be copied from them.
		if (DataCleanupFunc)
		{
			DataCleanupFunc(SrcData, Regions);
		}
		checkf(false, TEXT("UpdateTextureRegions of %s: %s"), *GetPathName(), *Error);
	}

	ENQUEUE_RENDER_COMMAND(UpdateTextureRegionsData)(
		[this, MipIndex, NumRegions, Regions, SrcPitch, SrcBpp, SrcData, Cleanup = std::move(DataCleanupFunc)](FRHICommandListImmediate& RHICmdList) mutable
		{
			const FScopedDataCleanup ScopedCleanup(std::move(Cleanup), SrcData, Regions);
			// The platform data may have been replaced since the call was checked; a mip that no
			// longer holds the regions is reported rather than written past its end.
			checkf(PlatformData && MipIndex < PlatformData->Mips.Num(), TEXT("UpdateTextureRegions of %s: mip %d no longer exists"), *GetPathName(),
				MipIndex);
			FTexture2DMipMap& Mip = PlatformData->Mips[MipIndex];
			const int64 MipPitch = int64(Mip.SizeX) * SrcBpp;
			const FString Error = FindRegionError(Mip.SizeX, Mip.SizeY, NumRegions, Regions, SrcPitch, SrcBpp);
			checkf(Error.IsEmpty() && Mip.BulkData.GetBulkDataSize() == MipPitch * Mip.SizeY, TEXT("UpdateTextureRegions of %s: the mip changed: %s"),
				*GetPathName(), Error.IsEmpty() ? TEXT("its texels do not match its size") : *Error);
			uint8* Texels = static_cast<uint8*>(Mip.BulkData.Lock(LOCK_READ_WRITE));
			for (uint32 Index = 0; Index < NumRegions; ++Index)
			{
				const FUpdateTextureRegion2D& Region = Regions[Index];
				const SIZE_T RowBytes = SIZE_T(Region.Width) * SrcBpp;
				for (uint32 Row = 0; Row < Region.Height; ++Row)
				{
					const uint8* Source = SrcData + (uint64(Region.SrcY) + Row) * SrcPitch + uint64(Region.SrcX) * SrcBpp;
					uint8* Target = Texels + (int64(Region.DestY) + Row) * MipPitch + int64(Region.DestX) * SrcBpp;
					std::memcpy(Target, Source, RowBytes);
				}
			}
			Mip.BulkData.Unlock();

			// The GPU copy, when there is one, gets the same texels.
			FTextureResource* TextureResource = GetResource();
			if (MipIndex == 0 && TextureResource && TextureResource->TextureRHI)
			{
				for (uint32 Index = 0; Index < NumRegions; ++Index)
				{
					RHICmdList.UpdateTexture2D(TextureResource->TextureRHI, 0, Regions[Index], SrcPitch, SrcData);
				}
			}
		});
	ReleaseFence.BeginFence();
}

FTextureResource* UTexture2D::CreateResource()
{
	if (!PlatformData || PlatformData->Mips.IsEmpty() || PlatformData->SizeX <= 0 || PlatformData->SizeY <= 0)
	{
		return nullptr;
	}
	// Region updates still queued write into the mips being copied; let them land first.
	while (!ReleaseFence.IsFenceComplete())
	{
		std::this_thread::yield();
	}
	return new FTexture2DResource(*this);
}
