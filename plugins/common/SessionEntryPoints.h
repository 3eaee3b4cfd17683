#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "plugins/common/ExceptionGuard.h"
#include "plugins/common/PluginStatus.h"
#include "plugins/common/PluginTexts.h"
#include "plugins/common/SessionTable.h"

namespace tessaly {

// The entry points that act on one session, for a plug-in whose sessions are held in Sessions<Session>():
// each refuses a null pointer and an unknown handle with InvalidRequest, hands the rest to the session and
// lets no exception out. A plug-in's exported PGM_ function forwards to one of them. Only the functions a
// plug-in calls are compiled, so Session needs only the members those use.
template <typename Session>
class SessionEntryPoints {
  public:
    static std::int32_t GetFacility(std::uint32_t handle, std::uint32_t code, std::uint32_t* value) noexcept {
        return Guarded<std::int32_t>(kInvalid, [&] {
            const std::shared_ptr<Session> found = Find(handle);
            return found == nullptr || value == nullptr ? kInvalid : ToInt(found->GetFacility(code, *value));
        });
    }

    static std::int32_t SetFacility(std::uint32_t handle, std::uint32_t code, std::uint32_t value) noexcept {
        return Guarded<std::int32_t>(kInvalid, [&] {
            const std::shared_ptr<Session> found = Find(handle);
            return found == nullptr ? kInvalid : ToInt(found->SetFacility(code, value));
        });
    }

    // A transfer still running on another thread holds on to the session until it returns.
    static std::int32_t Detach(std::uint32_t handle) noexcept {
        return Guarded<std::int32_t>(kInvalid,
                                     [&] { return Sessions<Session>().Remove(handle) ? kOk : kInvalid; });
    }

    // Detach that ends a transfer still running on another thread (Reset) before the session goes.
    static std::int32_t DetachEndingTransfer(std::uint32_t handle) noexcept {
        return Guarded<std::int32_t>(kInvalid, [&] {
            const std::shared_ptr<Session> found = Sessions<Session>().Remove(handle);
            if (found == nullptr) {
                return kInvalid;
            }
            found->Reset();
            return kOk;
        });
    }

    // The session's FirmwareText cut to the host's buffer; length is the buffer's size on entry and the
    // text's length on return, 0 when refused.
    static std::int32_t Firmware(std::uint32_t handle, char* buffer, std::uint32_t* length) noexcept {
        return Guarded<std::int32_t>(kInvalid, [&] {
            if (length == nullptr) {
                return kInvalid;
            }
            const std::uint32_t size = *length;
            *length = 0;
            const std::shared_ptr<Session> found = Find(handle);
            if (found == nullptr || buffer == nullptr) {
                return kInvalid;
            }
            return ToInt(CopyText(found->FirmwareText(), std::span<char>(buffer, size), *length));
        });
    }

    // A session without Reset has no transfer that outlasts its call, so only the handle is checked.
    static std::int32_t Reset(std::uint32_t handle) noexcept {
        return Guarded<std::int32_t>(kInvalid, [&] {
            const std::shared_ptr<Session> found = Find(handle);
            if (found == nullptr) {
                return kInvalid;
            }
            if constexpr (requires(Session & session) { session.Reset(); }) {
                found->Reset();
            }
            return kOk;
        });
    }

    static std::int32_t Read(std::uint32_t handle, std::uint32_t address, std::uint8_t* buffer,
                             std::uint32_t* length) noexcept {
        return Guarded<std::int32_t>(kInvalid, [&] {
            return RunTransfer(handle, buffer, length,
                               [&](Session& found, std::span<std::uint8_t> bytes, std::uint32_t& done) {
                                   return found.Read(address, bytes, done);
                               });
        });
    }

    static std::int32_t Write(std::uint32_t handle, std::uint32_t address, const std::uint8_t* buffer,
                              std::uint32_t* length) noexcept {
        return Guarded<std::int32_t>(kInvalid, [&] {
            return RunTransfer(handle, buffer, length,
                               [&](Session& found, std::span<const std::uint8_t> bytes, std::uint32_t& done) {
                                   return found.Write(address, bytes, done);
                               });
        });
    }

  private:
    static constexpr std::int32_t kOk = ToInt(PluginStatus::Ok);
    static constexpr std::int32_t kInvalid = ToInt(PluginStatus::InvalidRequest);

    static std::shared_ptr<Session> Find(std::uint32_t handle) { return Sessions<Session>().Find(handle); }

    // Checks what Read or Write is handed (a session, a length, a buffer unless the length is 0), then runs
    // transfer on the session, which writes back how many bytes it moved.
    template <typename Byte, typename Transfer>
    static std::int32_t RunTransfer(std::uint32_t handle, Byte* buffer, std::uint32_t* length,
                                    Transfer&& transfer) {
        if (length == nullptr) {
            return kInvalid;
        }
        const std::uint32_t wanted = *length;
        *length = 0;
        const std::shared_ptr<Session> session = Find(handle);
        if (session == nullptr || (buffer == nullptr && wanted != 0)) {
            return kInvalid;
        }
        // The host's buffer holds wanted bytes; the session moves at most one block of them.
        return ToInt(transfer(*session, std::span<Byte>(buffer, wanted), *length));
    }
};

}  // namespace tessaly
