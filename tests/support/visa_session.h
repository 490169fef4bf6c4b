// SPDX-License-Identifier: MIT
// An open VISA session for a test: resource manager and instrument session,
// closed on destruction, with line-feed termination as the driver sets it.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "visa.h"
#include "wire.h"

namespace testsupport {

// How a read that stops at a reply's closing line feed succeeds: VI_SUCCESS
// where the wire marks the end of a message (END wins over the termination
// character on the same byte), VI_SUCCESS_TERM_CHAR where only the line feed does.
inline ViStatus LineEndStatus(Wire w) {
  return w == Wire::Socket || w == Wire::Serial ? VI_SUCCESS_TERM_CHAR : VI_SUCCESS;
}

class VisaSession {
 public:
  explicit VisaSession(const std::string& resource, bool termchar = true) {
    EXPECT_EQ(viOpenDefaultRM(&rm_), VI_SUCCESS);
    status_ = viOpen(rm_, resource.c_str(), VI_NULL, 2000, &vi_);
    if (status_ == VI_SUCCESS && termchar) {
      viSetAttribute(vi_, VI_ATTR_TERMCHAR, '\n');
      viSetAttribute(vi_, VI_ATTR_TERMCHAR_EN, VI_TRUE);
    }
  }
  ~VisaSession() {
    if (rm_ != VI_NULL) viClose(rm_);
  }
  VisaSession(const VisaSession&) = delete;
  VisaSession& operator=(const VisaSession&) = delete;

  ViStatus open_status() const { return status_; }
  ViSession rm() const { return rm_; }
  ViSession vi() const { return vi_; }
  operator ViSession() const { return vi_; }

  void set_timeout(ViUInt32 ms) { EXPECT_EQ(viSetAttribute(vi_, VI_ATTR_TMO_VALUE, ms), VI_SUCCESS); }

 private:
  ViSession rm_ = VI_NULL;
  ViSession vi_ = VI_NULL;
  ViStatus status_ = VI_SUCCESS;
};

}  // namespace testsupport
