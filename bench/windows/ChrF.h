// chrF with beta 2 (chrF2): character n-grams of 1 to 6 letters over a whole set of sentences, white
// space left out; the n-gram precisions and recalls are averaged over the orders and combined as an
// F-score that weighs recall twice as much as precision. 0 to 100.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace chrf {

constexpr int kMaxOrder = 6;
constexpr double kBeta = 2.0;

class Statistics {
public:
    void Add(std::wstring_view hypothesis, std::wstring_view reference) {
        std::wstring hyp = WithoutSpaces(hypothesis), ref = WithoutSpaces(reference);
        for (int n = 1; n <= kMaxOrder; ++n) {
            std::map<std::wstring, int> hypGrams = Grams(hyp, n), refGrams = Grams(ref, n);
            for (const auto& [gram, count] : hypGrams) {
                m_hypothesis[n - 1] += count;
                auto found = refGrams.find(gram);
                if (found != refGrams.end())
                    m_matches[n - 1] += std::min(count, found->second);
            }
            for (const auto& [gram, count] : refGrams)
                m_reference[n - 1] += count;
        }
    }

    double Score() const {
        double precision = 0, recall = 0;
        int orders = 0;
        for (int n = 0; n < kMaxOrder; ++n) {
            if (m_hypothesis[n] == 0 && m_reference[n] == 0)
                continue;
            ++orders;
            precision += m_hypothesis[n] > 0 ? static_cast<double>(m_matches[n]) / m_hypothesis[n] : 0;
            recall += m_reference[n] > 0 ? static_cast<double>(m_matches[n]) / m_reference[n] : 0;
        }
        if (orders == 0)
            return 0;
        precision /= orders;
        recall /= orders;
        double b2 = kBeta * kBeta;
        return precision + recall > 0 ? 100 * (1 + b2) * precision * recall / (b2 * precision + recall) : 0;
    }

private:
    static std::wstring WithoutSpaces(std::wstring_view text) {
        std::wstring out;
        for (wchar_t c : text)
            if (c != L' ' && c != L'\t' && c != L'\r' && c != L'\n')
                out.push_back(c);
        return out;
    }
    static std::map<std::wstring, int> Grams(const std::wstring& text, int n) {
        std::map<std::wstring, int> grams;
        for (std::size_t i = 0; i + n <= text.size(); ++i)
            ++grams[text.substr(i, n)];
        return grams;
    }

    long long m_matches[kMaxOrder] = {}, m_hypothesis[kMaxOrder] = {}, m_reference[kMaxOrder] = {};
};

} // namespace chrf
