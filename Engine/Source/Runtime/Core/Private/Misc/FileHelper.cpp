#include "Misc/FileHelper.h"

#include "HAL/NativePath.h"
#include "Containers/StringConv.h"
#include "Logging/LogMacros.h"
#include "Misc/Paths.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace
{
	namespace fs = std::filesystem;
	using UE::Core::Private::MakeTemporarySibling;
	using UE::Core::Private::ToNativePath;

	/** Closes the descriptor when the scope ends, whichever way it ends. */
	class FScopedDescriptor
	{
	public:
		explicit FScopedDescriptor(int InDescriptor) : Descriptor(InDescriptor) {}
		~FScopedDescriptor()
		{
			if (Descriptor >= 0)
			{
				::close(Descriptor);
			}
		}
		FScopedDescriptor(const FScopedDescriptor&) = delete;
		FScopedDescriptor& operator=(const FScopedDescriptor&) = delete;

		int Get() const { return Descriptor; }
		/** Closes now, reporting the error a delayed write may only show here. */
		bool Close()
		{
			const int Closing = Descriptor;
			Descriptor = -1;
			return ::close(Closing) == 0;
		}

	private:
		int Descriptor;
	};

	/** Reads the whole of a regular file; false for anything else or a read error. */
	bool ReadWholeFile(const TCHAR* Filename, TArray<uint8>& OutBytes)
	{
		if (!Filename || !*Filename)
		{
			return false;
		}
		const FScopedDescriptor File(::open(ToNativePath(Filename).c_str(), O_RDONLY | O_CLOEXEC));
		struct stat Status;
		if (File.Get() < 0 || ::fstat(File.Get(), &Status) != 0 || !S_ISREG(Status.st_mode) || Status.st_size >= MAX_int32)
		{
			return false;
		}
		// One byte more than the size, so the usual case sees the end without growing; a file
		// that grows while being read is still read to its end.
		TArray<uint8> Bytes;
		Bytes.SetNumUninitialized(static_cast<int32>(Status.st_size) + 1);
		int32 Count = 0;
		for (;;)
		{
			if (Count == Bytes.Num())
			{
				if (Bytes.Num() > MAX_int32 / 2)
				{
					return false;
				}
				Bytes.SetNumUninitialized(Bytes.Num() * 2);
			}
			const ssize_t Read = ::read(File.Get(), Bytes.GetData() + Count, static_cast<size_t>(Bytes.Num() - Count));
			if (Read < 0 && errno == EINTR)
			{
				continue;
			}
			if (Read < 0)
			{
				return false;
			}
			if (Read == 0)
			{
				break;
			}
			Count += static_cast<int32>(Read);
		}
		Bytes.SetNum(Count);
		OutBytes = std::move(Bytes);
		return true;
	}

	/** UTF-16 code units from bytes in the given order; an odd last byte is ignored. */
	FString DecodeUtf16(const uint8* Bytes, int32 Count, bool bBigEndian)
	{
		std::u16string Units;
		Units.reserve(Count / 2);
		for (int32 Index = 0; Index + 1 < Count; Index += 2)
		{
			const uint16 First = Bytes[Index];
			const uint16 Second = Bytes[Index + 1];
			Units += static_cast<char16_t>(bBigEndian ? (First << 8) | Second : (Second << 8) | First);
		}
		const FUTF16ToTCHAR Converted(Units.data(), static_cast<int32>(Units.size()));
		return FString(Converted.Get(), Converted.Length());
	}

	FString DecodeText(const TArray<uint8>& Bytes)
	{
		const uint8* Data = Bytes.GetData();
		const int32 Count = Bytes.Num();
		if (Count >= 3 && Data[0] == 0xEF && Data[1] == 0xBB && Data[2] == 0xBF)
		{
			return FString(reinterpret_cast<const TCHAR*>(Data + 3), Count - 3);
		}
		if (Count >= 2 && Data[0] == 0xFF && Data[1] == 0xFE)
		{
			return DecodeUtf16(Data + 2, Count - 2, false);
		}
		if (Count >= 2 && Data[0] == 0xFE && Data[1] == 0xFF)
		{
			return DecodeUtf16(Data + 2, Count - 2, true);
		}
		return FString(reinterpret_cast<const TCHAR*>(Data), Count);
	}

	bool WriteAll(int Descriptor, const uint8* Bytes, SIZE_T Count)
	{
		while (Count > 0)
		{
			const ssize_t Written = ::write(Descriptor, Bytes, Count);
			if (Written < 0 && errno == EINTR)
			{
				continue;
			}
			if (Written <= 0)
			{
				return false;
			}
			Bytes += Written;
			Count -= static_cast<SIZE_T>(Written);
		}
		return true;
	}


	bool FailSave(const TCHAR* Filename, const std::string& Reason)
	{
		UE_LOG(LogCore, Warning, "Could not save '%s': %s", Filename, Reason.c_str());
		return false;
	}

	/**
	 * Writes the bytes to a fresh temporary file beside the target, flushes them to the disk
	 * and renames the temporary over the target, so the target is always either the old file
	 * or the whole new one, even across a crash.
	 */
	bool SaveBytes(const uint8* Bytes, SIZE_T Count, const TCHAR* Filename)
	{
		if (!Filename || !*Filename)
		{
			return FailSave("", "no file name");
		}
		fs::path Target = ToNativePath(Filename);
		if (!Target.has_filename())
		{
			return FailSave(Filename, "the path names a folder");
		}
		std::error_code Error;
		// The rename would replace a link with a plain file; save to the file it points to instead.
		if (fs::is_symlink(fs::symlink_status(Target, Error)))
		{
			const fs::path Resolved = fs::weakly_canonical(Target, Error);
			if (!Error)
			{
				Target = Resolved;
			}
		}
		const fs::file_status TargetStatus = fs::status(Target, Error);
		const bool bReplacing = fs::is_regular_file(TargetStatus);
		if (bReplacing && (TargetStatus.permissions() & fs::perms::owner_write) == fs::perms::none)
		{
			return FailSave(Filename, "the file is read-only");
		}
		if (Target.has_parent_path() && !fs::create_directories(Target.parent_path(), Error) && Error)
		{
			return FailSave(Filename, Error.message());
		}

		fs::path Temporary;
		int Descriptor = -1;
		for (int32 Attempt = 0; Attempt < 16 && Descriptor < 0; ++Attempt)
		{
			Temporary = MakeTemporarySibling(Target);
			Descriptor = ::open(Temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
			if (Descriptor < 0 && errno != EEXIST)
			{
				break;
			}
		}
		if (Descriptor < 0)
		{
			return FailSave(Filename, std::strerror(errno));
		}
		FScopedDescriptor File(Descriptor);
		const bool bPermissionsKept = !bReplacing || ::fchmod(File.Get(), static_cast<mode_t>(TargetStatus.permissions())) == 0;
		const bool bWritten = bPermissionsKept && WriteAll(File.Get(), Bytes, Count) && ::fsync(File.Get()) == 0;
		const int WriteError = errno;
		if (!File.Close() || !bWritten)
		{
			const std::string Reason = std::strerror(bWritten ? errno : WriteError);
			fs::remove(Temporary, Error);
			return FailSave(Filename, Reason);
		}
		fs::rename(Temporary, Target, Error);
		if (Error)
		{
			const std::string Reason = Error.message();
			fs::remove(Temporary, Error);
			return FailSave(Filename, Reason);
		}
		return true;
	}
}

bool FFileHelper::LoadFileToArray(TArray<uint8>& Result, const TCHAR* Filename)
{
	return ReadWholeFile(Filename, Result);
}

bool FFileHelper::LoadFileToString(FString& Result, const TCHAR* Filename)
{
	TArray<uint8> Bytes;
	if (!ReadWholeFile(Filename, Bytes))
	{
		return false;
	}
	Result = DecodeText(Bytes);
	return true;
}

bool FFileHelper::LoadFileToStringArray(TArray<FString>& Result, const TCHAR* Filename)
{
	FString Text;
	if (!LoadFileToString(Text, Filename))
	{
		return false;
	}
	const std::string_view View = Text.ToView();
	TArray<FString> Lines;
	SIZE_T Start = 0;
	while (Start < View.size())
	{
		const SIZE_T Break = View.find_first_of("\r\n", Start);
		if (Break == std::string_view::npos)
		{
			Lines.Add(FString(View.substr(Start)));
			break;
		}
		Lines.Add(FString(View.substr(Start, Break - Start)));
		Start = Break + ((View[Break] == '\r' && Break + 1 < View.size() && View[Break + 1] == '\n') ? 2 : 1);
	}
	Result = std::move(Lines);
	return true;
}

bool FFileHelper::SaveArrayToFile(const TArray<uint8>& Array, const TCHAR* Filename)
{
	return SaveBytes(Array.GetData(), static_cast<SIZE_T>(Array.Num()), Filename);
}

bool FFileHelper::SaveStringToFile(const FString& String, const TCHAR* Filename)
{
	return SaveBytes(reinterpret_cast<const uint8*>(String.ToView().data()), static_cast<SIZE_T>(String.Len()), Filename);
}
