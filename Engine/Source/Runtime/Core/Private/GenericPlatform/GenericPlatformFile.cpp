#include "GenericPlatform/GenericPlatformFile.h"

#include "HAL/NativePath.h"
#include "Containers/UnrealString.h"
#include "Misc/Paths.h"

#include <filesystem>
#include <system_error>

namespace
{
	namespace fs = std::filesystem;
	using UE::Core::Private::MakeTemporarySibling;
	using UE::Core::Private::ToNativePath;


	constexpr fs::perms WritePermissions = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;

	class FPhysicalPlatformFile final : public IPlatformFile
	{
	public:
		bool FileExists(const TCHAR* Filename) override
		{
			std::error_code Error;
			return fs::is_regular_file(ToNativePath(Filename), Error);
		}

		int64 FileSize(const TCHAR* Filename) override
		{
			const fs::path Path = ToNativePath(Filename);
			std::error_code Error;
			if (!fs::is_regular_file(Path, Error))
			{
				return -1;
			}
			const std::uintmax_t Size = fs::file_size(Path, Error);
			return Error ? -1 : static_cast<int64>(Size);
		}

		bool DeleteFile(const TCHAR* Filename) override
		{
			const fs::path Path = ToNativePath(Filename);
			std::error_code Error;
			return fs::is_regular_file(Path, Error) && fs::remove(Path, Error);
		}

		bool IsReadOnly(const TCHAR* Filename) override
		{
			std::error_code Error;
			const fs::file_status Status = fs::status(ToNativePath(Filename), Error);
			return fs::exists(Status) && (Status.permissions() & fs::perms::owner_write) == fs::perms::none;
		}

		bool SetReadOnly(const TCHAR* Filename, bool bNewReadOnlyValue) override
		{
			const fs::path Path = ToNativePath(Filename);
			std::error_code Error;
			if (!fs::exists(Path, Error))
			{
				return false;
			}
			if (bNewReadOnlyValue)
			{
				fs::permissions(Path, WritePermissions, fs::perm_options::remove, Error);
			}
			else
			{
				fs::permissions(Path, fs::perms::owner_write, fs::perm_options::add, Error);
			}
			return !Error;
		}

		bool MoveFile(const TCHAR* To, const TCHAR* From) override
		{
			const fs::path Source = ToNativePath(From);
			std::error_code Error;
			fs::rename(Source, ToNativePath(To), Error);
			if (Error == std::errc::cross_device_link)
			{
				// A rename cannot cross file systems: copy (which replaces To in one step), then remove the source.
				return CopyFile(To, From) && fs::remove(Source, Error);
			}
			return !Error;
		}

		bool CopyFile(const TCHAR* To, const TCHAR* From) override
		{
			const fs::path Source = ToNativePath(From);
			const fs::path Target = ToNativePath(To);
			std::error_code Error;
			if (!fs::is_regular_file(Source, Error) || fs::is_directory(Target, Error) || !Target.has_filename())
			{
				return false;
			}
			for (int32 Attempt = 0; Attempt < 16; ++Attempt)
			{
				const fs::path Temporary = MakeTemporarySibling(Target);
				fs::copy_file(Source, Temporary, fs::copy_options::none, Error);
				if (Error == std::errc::file_exists)
				{
					continue;
				}
				if (!Error)
				{
					fs::rename(Temporary, Target, Error);
				}
				if (Error)
				{
					std::error_code Ignored;
					fs::remove(Temporary, Ignored);
				}
				return !Error;
			}
			return false;
		}

		bool DirectoryExists(const TCHAR* Directory) override
		{
			std::error_code Error;
			return fs::is_directory(ToNativePath(Directory), Error);
		}

		bool CreateDirectory(const TCHAR* Directory) override
		{
			const fs::path Path = ToNativePath(Directory);
			std::error_code Error;
			fs::create_directory(Path, Error);
			return fs::is_directory(Path, Error);
		}

		bool CreateDirectoryTree(const TCHAR* Directory) override
		{
			const fs::path Path = ToNativePath(Directory);
			std::error_code Error;
			fs::create_directories(Path, Error);
			return fs::is_directory(Path, Error);
		}

		bool DeleteDirectory(const TCHAR* Directory) override
		{
			const fs::path Path = ToNativePath(Directory);
			std::error_code Error;
			// symlink_status: a link to a folder is not a folder to delete.
			return fs::is_directory(fs::symlink_status(Path, Error)) && fs::remove(Path, Error);
		}

		bool DeleteDirectoryRecursively(const TCHAR* Directory) override
		{
			const fs::path Path = ToNativePath(Directory);
			std::error_code Error;
			if (!fs::exists(fs::symlink_status(Path, Error)))
			{
				return true;
			}
			if (!fs::is_directory(Path, Error))
			{
				return false;
			}
			fs::remove_all(Path, Error);
			return !Error;
		}
	};
}

IPlatformFile& IPlatformFile::GetPlatformPhysical()
{
	static FPhysicalPlatformFile PhysicalPlatformFile;
	return PhysicalPlatformFile;
}
