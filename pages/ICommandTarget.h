// SPDX-License-Identifier: Apache-2.0
// A window that handles commands that its child dialogs pass on, such as the data check every
// page raises on a user change. The pages find it by walking up their parent chain and call it
// synchronously: when the call returns, the command has been handled.
#pragma once

namespace vellmark {

class ICommandTarget {
public:
    virtual ~ICommandTarget() = default;
    virtual void OnCommand(int id) = 0;
};

} // namespace vellmark
