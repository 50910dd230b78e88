// Realistic history records for the benchmarks: web pages, programs and
// folders in turn, with Chinese names and paths.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "store/doc.h"

namespace zd::bench {

inline std::vector<DocRecord> SampleRecords(size_t count) {
  static const char* const kSites[] = {"www.sina.com.cn",  "news.163.com", "www.baidu.com",
                                       "zhidao.baidu.com", "www.qq.com",   "bbs.example.org"};
  static const char* const kTopics[] = {"新闻中心", "财经频道", "体育赛事",
                                        "科技资讯", "天气预报", "论坛精华"};
  static const char* const kPrograms[] = {"微信",   "WPS Office", "360安全卫士",
                                          "记事本", "Foxmail",    "酷狗音乐"};
  static const char* const kFolders[] = {"工作",      "项目资料",  "照片",
                                         "Downloads", "合同 2024", "报表"};
  std::vector<DocRecord> docs;
  docs.reserve(count);
  char buffer[512];
  for (size_t i = 0; i < count; ++i) {
    DocRecord doc;
    const size_t k = i % 6;
    std::snprintf(buffer, sizeof buffer, "2024-%02zu-%02zu", i % 12 + 1, i % 28 + 1);
    doc.date = buffer;
    switch (i % 3) {
      case 0:
        doc.doctype = DocKind::kWeb;
        doc.RootPath = kSites[k];
        std::snprintf(buffer, sizeof buffer, "http://%s/article/%zu.html?from=%zu", kSites[k], i,
                      i * 7);
        doc.path = buffer;
        std::snprintf(buffer, sizeof buffer, "%s - 第%zu篇报道 - 网页", kTopics[k], i);
        doc.name = buffer;
        break;
      case 1:
        doc.doctype = DocKind::kProgram;
        std::snprintf(buffer, sizeof buffer, "C:\\Program Files\\%s %zu\\app%zu.exe", kPrograms[k],
                      i, i);
        doc.path = buffer;
        std::snprintf(buffer, sizeof buffer, "%s %zu", kPrograms[k], i);
        doc.name = buffer;
        break;
      default:
        doc.doctype = DocKind::kFolder;
        std::snprintf(buffer, sizeof buffer, "D:\\%s", kFolders[k]);
        doc.RootPath = buffer;
        std::snprintf(buffer, sizeof buffer, "D:\\%s\\子目录 %zu", kFolders[k], i);
        doc.path = buffer;
        doc.name = doc.path;
        break;
    }
    docs.push_back(std::move(doc));
  }
  return docs;
}

}  // namespace zd::bench
