-- The guide's pages link each other and the IDE definitions as they lie in
-- the repository (docs/NAME.md, ide/...). Installed, the web pages stand in
-- one folder beside ide/ and images/: links to a page go to its .html, and
-- links that climb out of docs/ start in that folder instead.
function Link(el)
  local t = el.target
  if not t:match("^%a[%w+.-]*:") and not t:match("^#") then
    t = t:gsub("^%.%./", "")
    t = t:gsub("^docs/", "")
    t = t:gsub("^([^#]-)%.md(#?)", function(base, hash)
      if base:match("^ide/") then return base .. ".md" .. hash end
      return base .. ".html" .. hash
    end)
    el.target = t
  end
  return el
end
