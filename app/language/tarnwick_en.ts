<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>Controls</name>
    <message>
        <source>默认</source>
        <translation>Plain</translation>
    </message>
    <message>
        <source>通配</source>
        <translation>Wildcard</translation>
    </message>
    <message>
        <source>正则</source>
        <translation>Regex</translation>
    </message>
    <message>
        <source>Tarnwick 文件筛选</source>
        <translation>Tarnwick file filter</translation>
    </message>
    <message>
        <source>保存配置</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>疑点说明</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>按内容筛选</source>
        <translation>By content</translation>
    </message>
    <message>
        <source>筛选类型：</source>
        <translation>Match:</translation>
    </message>
    <message>
        <source>包含内容</source>
        <translation>Contains</translation>
    </message>
    <message>
        <source>不含内容</source>
        <translation>Lacks</translation>
    </message>
    <message>
        <source>筛选对象：</source>
        <translation>Look at:</translation>
    </message>
    <message>
        <source>文件名</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>文件内容</source>
        <translation>Content</translation>
    </message>
    <message>
        <source>筛选内容：</source>
        <translation>Text:</translation>
    </message>
    <message>
        <source>粘贴</source>
        <translation>Paste</translation>
    </message>
    <message>
        <source>按长度筛选</source>
        <translation>By length</translation>
    </message>
    <message>
        <source>筛选预备：</source>
        <translation>First:</translation>
    </message>
    <message>
        <source>清除网页标签</source>
        <translation>Strip tags</translation>
    </message>
    <message>
        <source>清除空行空格</source>
        <translation>Strip spaces</translation>
    </message>
    <message>
        <source>文件大小</source>
        <translation>File size</translation>
    </message>
    <message>
        <source>内容字数</source>
        <translation>Characters</translation>
    </message>
    <message>
        <source>长度范围：</source>
        <translation>Range:</translation>
    </message>
    <message>
        <source>到</source>
        <translation>to</translation>
    </message>
    <message>
        <source>长度单位：</source>
        <translation>Unit:</translation>
    </message>
    <message>
        <source>按时间筛选</source>
        <translation>By time</translation>
    </message>
    <message>
        <source>时间类型：</source>
        <translation>Time:</translation>
    </message>
    <message>
        <source>创建</source>
        <translation>Created</translation>
    </message>
    <message>
        <source>修改</source>
        <translation>Modified</translation>
    </message>
    <message>
        <source>访问</source>
        <translation>Accessed</translation>
    </message>
    <message>
        <source>年月日</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>时分秒</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>两者</source>
        <translation>Both</translation>
    </message>
    <message>
        <source>时间范围：</source>
        <translation>Range:</translation>
    </message>
    <message>
        <source>从</source>
        <translation>from</translation>
    </message>
    <message>
        <source>按重复筛选</source>
        <translation>Duplicates</translation>
    </message>
    <message>
        <source>长度</source>
        <translation>Length</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>输出重复：</source>
        <translation>List:</translation>
    </message>
    <message>
        <source>一</source>
        <translation>One</translation>
    </message>
    <message>
        <source>全部</source>
        <translation>All</translation>
    </message>
    <message>
        <source>全部减一</source>
        <translation>All but one</translation>
    </message>
    <message>
        <source>全选</source>
        <translation>Select all</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>移动</source>
        <translation>Move</translation>
    </message>
    <message>
        <source>复制</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>打开</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>定位</source>
        <translation>Locate</translation>
    </message>
    <message>
        <source>查看</source>
        <translation>View</translation>
    </message>
    <message>
        <source>复制路径</source>
        <translation>Copy paths</translation>
    </message>
    <message>
        <source>导出</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>仅该目录</source>
        <translation>This folder</translation>
    </message>
    <message>
        <source>遍历子目录</source>
        <translation>Whole tree</translation>
    </message>
    <message>
        <source>遍历层次</source>
        <translation>Levels</translation>
    </message>
    <message>
        <source>个</source>
        <translation>×1</translation>
    </message>
    <message>
        <source>十</source>
        <translation>×10</translation>
    </message>
    <message>
        <source>百</source>
        <translation>×100</translation>
    </message>
    <message>
        <source>千</source>
        <translation>×1k</translation>
    </message>
    <message>
        <source>万</source>
        <translation>×10k</translation>
    </message>
    <message>
        <source>导出中</source>
        <translation>Exporting</translation>
    </message>
    <message>
        <source>完成</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>  选择目录开始筛选</source>
        <translation>  Choose a folder and start</translation>
    </message>
    <message>
        <source>  立即停止筛选！</source>
        <translation>  Stop now!</translation>
    </message>
    <message>
        <source>  正在停止筛选..</source>
        <translation>  Stopping..</translation>
    </message>
    <message>
        <source>多组内容以|隔开</source>
        <translation>Separate texts with |</translation>
    </message>
    <message>
        <source>要列出的文件名：*.* 为全部文件，* 代表任意几个字符，? 代表一个字符；多个名称以 | 隔开，如 *.txt|*.htm</source>
        <translation>File names to list: *.* is every file, * stands for any run of characters, ? for one character; separate several names with |, as in *.txt|*.htm</translation>
    </message>
    <message>
        <source>单击：选择目录并开始筛选，筛选中再次单击则停止。
按鼠标右键：用逐个比对名称的方式列出文件（每个目录只读一次，名称与整个过滤条件比对，同一文件不会列出两次）</source>
        <translation>Click: choose a folder and start; click again while it runs to stop.
Right button: list the files by testing each name (each folder is read once, each name is tested against the whole mask, so no file is listed twice)</translation>
    </message>
    <message>
        <source>既无字节序标记、又无网页编码声明、也不是 UTF-8 的文本，猜测它是 GB18030、Big5、Shift-JIS 还是 EUC-KR 再读取（不勾选时按 GBK 读取）；用于按内容筛选、统计字数和查看</source>
        <translation>Text that has no byte-order mark, no charset declaration and is not UTF-8 is read in the encoding its bytes suggest: GB18030, Big5, Shift-JIS or EUC-KR (unticked: as GBK); for the content filter, the character count and the viewer</translation>
    </message>
    <message>
        <source>猜测编码</source>
        <translation>Guess charset</translation>
    </message>
    <message>
        <source>文本</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>相似</source>
        <translation>Similar</translation>
    </message>
</context>
<context>
    <name>FilterJob</name>
    <message>
        <source>选择一个目录，确定后将根据设置，扫描该目录中符合条件的文件，输出到右侧列表：</source>
        <translation>Choose a folder: its files that meet the conditions will be listed on the right.</translation>
    </message>
    <message>
        <source>在开始新操作之前请先停止正在执行的操作！</source>
        <translation>Stop the running operation before you start another one.</translation>
    </message>
    <message>
        <source> 毫秒</source>
        <translation> ms</translation>
    </message>
    <message>
        <source> 秒</source>
        <translation> s</translation>
    </message>
    <message>
        <source> 分</source>
        <translation> min</translation>
    </message>
    <message>
        <source> 时</source>
        <translation> h</translation>
    </message>
    <message>
        <source> 天</source>
        <translation> days</translation>
    </message>
    <message>
        <source> 月</source>
        <translation> months</translation>
    </message>
    <message>
        <source> 年</source>
        <translation> years</translation>
    </message>
    <message numerus="yes">
        <source>筛选完毕！共筛选出 %n 个文件，耗时 %1。请单击按钮操作列表！</source>
        <translation>
            <numerusform>Done: %n file listed in %1. Use the buttons above the list to work with it.</numerusform>
            <numerusform>Done: %n files listed in %1. Use the buttons above the list to work with them.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n 个文件在筛选中被改动，未列入重复组：%1</source>
        <translation>
            <numerusform>%n file changed during the job and was left out of its duplicate group: %1</numerusform>
            <numerusform>%n files changed during the job and were left out of their duplicate groups, the first: %1</numerusform>
        </translation>
    </message>
    <message>
        <source>正在筛选：%1</source>
        <translation>Filtering: %1</translation>
    </message>
    <message>
        <source>大小 %1，正在读MD5：%2</source>
        <translation>Size %1, reading MD5: %2</translation>
    </message>
    <message>
        <source>筛选内容无法编译：</source>
        <translation>The content pattern does not compile: </translation>
    </message>
    <message>
        <source>（%1）</source>
        <translation> (%1)</translation>
    </message>
    <message>
        <source>摘要缓存无法使用%1，已直接读取文件</source>
        <translation>The digest cache cannot be used%1; the files were read without it</translation>
    </message>
    <message>
        <source>摘要缓存不可写入%1，已直接读取文件</source>
        <translation>The digest cache cannot be written%1; the files were read without it</translation>
    </message>
    <message>
        <source>摘要缓存被其他程序锁定，已直接读取文件</source>
        <translation>The digest cache is locked by another program; the files were read without it</translation>
    </message>
    <message>
        <source>摘要缓存已损坏%1，已重新建立</source>
        <translation>The digest cache was damaged%1 and has been started anew</translation>
    </message>
    <message>
        <source>摘要缓存来自其他版本，已重新建立</source>
        <translation>The digest cache was made by another version and has been started anew</translation>
    </message>
    <message>
        <source>摘要缓存写入失败%1，本次其余部分未使用缓存</source>
        <translation>The digest cache could not be written%1; the rest of this job went without it</translation>
    </message>
    <message>
        <source>已检查 %1 个文件，列出 %2 个</source>
        <translation>Examined %1 files, listed %2</translation>
    </message>
    <message>
        <source>正在查找摘要缓存：%1</source>
        <translation>Looking up the digest cache: %1</translation>
    </message>
    <message>
        <source>正在比较文件首尾：%1</source>
        <translation>Comparing the files&apos; ends: %1</translation>
    </message>
    <message>
        <source>正在比较全部内容：%1</source>
        <translation>Comparing whole contents: %1</translation>
    </message>
    <message>
        <source>正在读MD5：%1</source>
        <translation>Reading MD5: %1</translation>
    </message>
    <message>
        <source>正在列出重复文件：%1</source>
        <translation>Listing the duplicates: %1</translation>
    </message>
    <message>
        <source>%1 / %2 个文件</source>
        <translation>%1 / %2 files</translation>
    </message>
    <message>
        <source>筛选中修改的筛选内容无法编译：%1
本次筛选一直使用最后一个可以编译的筛选内容。</source>
        <translation>The content pattern edited during the job does not compile: %1
The job went on with the last pattern that compiled.</translation>
    </message>
    <message numerus="yes">
        <source>%n 个文件无法在内存限制内判断是否含有筛选内容，未列出（如 %1）</source>
        <translation>
            <numerusform>%n file could not be searched within the memory bound and was not listed (%1)</numerusform>
            <numerusform>%n files could not be searched within the memory bound and were not listed (such as %1)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>HelpDialog</name>
    <message>
        <source>疑点说明</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>关闭(&amp;G)</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>恢复</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>清空</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>粘贴</source>
        <translation>Paste</translation>
    </message>
    <message>
        <source>文件</source>
        <translation>File</translation>
    </message>
    <message>
        <source>文件名</source>
        <translation>File name</translation>
    </message>
    <message>
        <source>本工具用于从大量文件中按多种条件同时筛选出需要的文件，例如：含有某个关键字的文件、在某段时间内用过的文件、长度在某个范围内的文件、重复的文件。
--------------------------------------
四种筛选可以同时勾选，文件须满足所有勾选的条件才会列出：
1、按内容筛选：在文件名或文件内容中查找文字；查找文件内容只适用于 htm、txt 等纯文本文件。
2、按长度筛选：文件大小或内容字数在指定范围内（包含两端）；内容字数只适用于纯文本文件。
3、按时间筛选：文件的创建、修改或访问时间在指定范围内（包含两端）。单击时间框中的年、月、日、时、分或秒将其选中，用上下键或微调按钮增减，用左右键或滚轮换到其他部分，也可直接键入数字。
4、按重复筛选：数据相同（MD5）、长度相同、名称相同、文本相同（文本）或文本相似（相似）的文件。
对列出的文件可以：移动、复制、删除、打开、定位、查看、复制路径、导出。删除默认为彻底删除；按住 Ctrl 键再单击“删除”，则把文件移到回收站（废纸篓）。
--------------------------------------
注意：
1、按重复筛选要等扫描结束或停止后才列出结果，输出方式有三种：一（每组重复文件只列出一个）、全部（每组全部列出）、全部减一（每组列出除一个以外的全部）。
2、按内容筛选有三种匹配模式，字母均不区分大小写：
默认：按原文查找，多组内容以 | 隔开，其中任意一组出现即算找到；
通配：* 代表任意多个字符，? 代表一个字符，多组内容以 | 隔开；
正则：按正则表达式查找。
3、查看文件的编码：把文件拖放到列表中，选中它，单击“查看”，查看窗口的标题栏上会显示“(编码:…)”和文件名。
4、既无字节序标记、又无网页编码声明、也不是 UTF-8 的文本，默认按 GBK（GB18030）读取；勾选“猜测编码”后，则按其内容猜测是 GB18030、Big5、Shift-JIS 还是 EUC-KR 再读取，查找内容、统计字数和查看都是如此。
5、单击列表的列标题按该列排序，再单击一次倒序，第三次恢复筛选时的顺序；重复文件的各组始终排在一起。导出和复制路径按列表显示的顺序。
6、文本：解码后的文字相同即为重复，不论文件的编码（GBK、UTF-8、UTF-16、Big5）和换行方式（CR LF、CR、LF）；勾选了“清除网页标签”或“清除空行空格”时，先清除再比较（即使没有勾选按长度筛选）。二进制文件和没有文字的文件不参与。
相似：文字大部分相同即为相似。相似度是两个文件中连续 8 个字的片段重合的比例，在后面的方框中设定（50～100，默认 90）。每组以最先找到的文件为首，组里每个文件与组首的相似度都不低于设定值；选中列表中的一行，状态栏右侧显示它与本组第一个文件的相似度。
7、按 MD5、文本或相似列出之前会再检查每个文件：读取之后被修改、替换或删除的文件不再列出，状态栏会说明。</source>
        <translation>This tool picks the files you need out of a great many files by several conditions at once, for example: files that hold a keyword, files used within a period of time, files whose length lies within a range, duplicate files.
--------------------------------------
The four filters can be ticked together; a file is listed only when it meets every ticked condition:
1. By content: looks for text in the file name or in the file content; the content is searched only in plain-text files such as htm and txt.
2. By length: the file size or the content&apos;s character count lies within the range (both ends included); the character count is for plain-text files only.
3. By time: the file&apos;s creation, modification or access time lies within the range (both ends included). Click the year, month, day, hour, minute or second of a time field to select it; change it with the Up and Down keys or the spin buttons, move to another part with the Left and Right keys or the mouse wheel, or type digits.
4. Duplicates: files with the same data (MD5), the same length, the same name, the same text (Text) or similar text (Similar).
The listed files can be moved, copied, deleted, opened, located, viewed, have their paths copied, or be exported. Delete deletes them for good; hold Ctrl while you click Delete to move them to the trash instead.
--------------------------------------
Notes:
1. Duplicates are listed only when the scan has finished or was stopped, in one of three ways: One (one file of each group), All (every file of each group), All but one (every file of each group but one).
2. The content filter has three match modes, all of which ignore letter case:
Plain: looks for the text as typed; separate alternatives with |, any one of them counts as found;
Wildcard: * stands for any number of characters, ? for one character; separate alternatives with |;
Regex: looks for a regular expression.
3. To see a file&apos;s encoding: drop the file onto the list, select it and click View; the viewer&apos;s title shows &quot;(Encoding: …)&quot; and the file name.
4. Text that has no byte-order mark, no charset declaration and is not UTF-8 is read as GBK (GB18030); with &quot;Guess charset&quot; ticked it is read in the encoding its content suggests: GB18030, Big5, Shift-JIS or EUC-KR, for the content search, the character count and the viewer alike.
5. Click a column&apos;s header to sort the list by it, again to reverse the order, a third time to return to the order of the job; the files of a duplicate group always stay together. Export and Copy paths follow the order shown.
6. Text: files whose decoded text is the same are duplicates, whatever their encoding (GBK, UTF-8, UTF-16, Big5) and line ends (CR LF, CR, LF); with Strip tags or Strip spaces ticked, these are taken out before the texts are compared (even when By length is not ticked). Binary files and files without text take no part.
Similar: files whose text is mostly the same. The resemblance is the share of runs of 8 characters the two files have in common; set it in the box after the button (50 to 100, 90 by default). Each group is led by the file found first, and every file of a group resembles it at least that much; select a row of the list and the right of the status line shows how much it resembles the first file of its group.
7. Before groups by MD5, Text or Similar are listed, each file is looked at again: a file changed, replaced or deleted since it was read is left out, and the status line says so.</translation>
    </message>
</context>
<context>
    <name>List</name>
    <message>
        <source>与本组第一个文件相似 %1 %</source>
        <translation>Resembles its group&apos;s first file: %1 %</translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <source>导出失败：%1</source>
        <translation>The export failed: %1</translation>
    </message>
    <message>
        <source>将路径列表保存到文本文件：</source>
        <translation>Save the path list to a text file</translation>
    </message>
    <message>
        <source>文本文件(*.txt);;全部文件(*)</source>
        <translation>Text files (*.txt);;All files (*)</translation>
    </message>
    <message>
        <source>Brellin：</source>
        <translation>Brellin</translation>
    </message>
    <message>
        <source>无法确定所选的目录：%1</source>
        <translation>Cannot tell which folder was chosen: %1</translation>
    </message>
</context>
<context>
    <name>PatternErrors</name>
    <message>
        <source>表达式以 \ 结尾</source>
        <translation>\ at end of pattern</translation>
    </message>
    <message>
        <source>\ 后面的字符无法识别</source>
        <translation>unrecognized character follows \</translation>
    </message>
    <message>
        <source>{} 中的数字前大后小</source>
        <translation>numbers out of order in {} quantifier</translation>
    </message>
    <message>
        <source>{} 中的数字太大</source>
        <translation>number too big in {} quantifier</translation>
    </message>
    <message>
        <source>字符集缺少结尾的 ]</source>
        <translation>missing terminating ] for character class</translation>
    </message>
    <message>
        <source>字符集中的范围前大后小</source>
        <translation>range out of order in character class</translation>
    </message>
    <message>
        <source>字符集中的范围无效</source>
        <translation>invalid range in character class</translation>
    </message>
    <message>
        <source>重复符号前面没有可以重复的内容</source>
        <translation>quantifier does not follow a repeatable item</translation>
    </message>
    <message>
        <source>(? 或 (?- 后面的字符无法识别</source>
        <translation>unrecognized character after (? or (?-</translation>
    </message>
    <message>
        <source>POSIX 字符类只能写在 [] 之内</source>
        <translation>POSIX named classes are supported only within a class</translation>
    </message>
    <message>
        <source>未知的 POSIX 字符类</source>
        <translation>unknown POSIX class name</translation>
    </message>
    <message>
        <source>缺少右括号</source>
        <translation>missing closing parenthesis</translation>
    </message>
    <message>
        <source>多出了右括号</source>
        <translation>unmatched closing parenthesis</translation>
    </message>
    <message>
        <source>引用了不存在的分组</source>
        <translation>reference to non-existent subpattern</translation>
    </message>
    <message>
        <source>(?# 注释缺少结尾的 )</source>
        <translation>missing ) after (?# comment</translation>
    </message>
    <message>
        <source>括号嵌套太深</source>
        <translation>parentheses are too deeply nested</translation>
    </message>
    <message>
        <source>正则表达式太长</source>
        <translation>regular expression is too large</translation>
    </message>
    <message>
        <source>正则表达式太复杂</source>
        <translation>regular expression is too complicated</translation>
    </message>
    <message>
        <source>向后查找的长度不固定</source>
        <translation>lookbehind assertion is not fixed length</translation>
    </message>
    <message>
        <source>\P 或 \p 的写法有误</source>
        <translation>malformed \P or \p sequence</translation>
    </message>
    <message>
        <source>\P 或 \p 后面是未知的字符属性</source>
        <translation>unknown property after \P or \p</translation>
    </message>
    <message>
        <source>（第 %1 个字符处）</source>
        <translation> at character %1</translation>
    </message>
</context>
<context>
    <name>ReplaceQuestion</name>
    <message>
        <source>替换</source>
        <translation>Replace</translation>
    </message>
    <message>
        <source>全部替换</source>
        <translation>Replace All</translation>
    </message>
    <message>
        <source>跳过</source>
        <translation>Skip</translation>
    </message>
    <message>
        <source>全部跳过</source>
        <translation>Skip All</translation>
    </message>
    <message>
        <source>目标目录中已有同名文件：
%1

要用这个文件替换它吗？
%2</source>
        <translation>The destination already holds a file of this name:
%1

Replace it with this file?
%2</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>tarnwick::FileOperations</name>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>；因同名未移动：%1</source>
        <translation>; not moved, the name was taken: %1</translation>
    </message>
    <message>
        <source>；因同名未复制：%1</source>
        <translation>; not copied, the name was taken: %1</translation>
    </message>
    <message>
        <source> 等 %1 个</source>
        <translation> and others, %1 in all</translation>
    </message>
    <message>
        <source>停止中</source>
        <translation>Stopping</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>请先选择要删除的文件！</source>
        <translation>Select the files to delete first.</translation>
    </message>
    <message numerus="yes">
        <source>确定要将选择的 %n 个文件移到回收站吗？</source>
        <translation>
            <numerusform>Move the selected file to the trash?</numerusform>
            <numerusform>Move the %n selected files to the trash?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>确定要彻底删除选择的 %n 个文件吗？

如果需要删除到回收站，请按住Ctrl键重新点击删除按钮</source>
        <translation>
            <numerusform>Delete the selected file for good?

To move it to the trash instead, hold Ctrl and click Delete again.</numerusform>
            <numerusform>Delete the %n selected files for good?

To move them to the trash instead, hold Ctrl and click Delete again.</numerusform>
        </translation>
    </message>
    <message>
        <source>(%1:%2) 正在删除 &gt;&gt; %3</source>
        <translation>(%1:%2) Deleting &gt;&gt; %3</translation>
    </message>
    <message>
        <source>删除完毕！共 %1 个文件，成功删除 %2 个文件，耗时(%3)</source>
        <translation>Done: %2 of %1 files deleted (%3)</translation>
    </message>
    <message>
        <source>请先选择要移动的文件！</source>
        <translation>Select the files to move first.</translation>
    </message>
    <message>
        <source>请先选择要复制的文件！</source>
        <translation>Select the files to copy first.</translation>
    </message>
    <message numerus="yes">
        <source>将选择的 %n 个文件移动到的目录：</source>
        <translation>
            <numerusform>Folder to move the selected file to:</numerusform>
            <numerusform>Folder to move the %n selected files to:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>将选择的 %n 个文件复制到的目录：</source>
        <translation>
            <numerusform>Folder to copy the selected file to:</numerusform>
            <numerusform>Folder to copy the %n selected files to:</numerusform>
        </translation>
    </message>
    <message>
        <source>(%1:%2) 正在移动 &gt;&gt; %3</source>
        <translation>(%1:%2) Moving &gt;&gt; %3</translation>
    </message>
    <message>
        <source>(%1:%2) 正在复制 &gt;&gt; %3</source>
        <translation>(%1:%2) Copying &gt;&gt; %3</translation>
    </message>
    <message>
        <source>移动完毕！共 %1 个文件，成功移动 %2 个文件，耗时 %3</source>
        <translation>Done: %2 of %1 files moved in %3</translation>
    </message>
    <message>
        <source>复制完毕！共 %1 个文件，成功复制 %2 个文件，耗时 %3</source>
        <translation>Done: %2 of %1 files copied in %3</translation>
    </message>
    <message>
        <source>请先选择要定位到目录的文件！</source>
        <translation>Select the files to locate first.</translation>
    </message>
    <message>
        <source>请先选择要打开的文件！</source>
        <translation>Select the files to open first.</translation>
    </message>
    <message numerus="yes">
        <source>当前选择了 %n 个文件，确定要将它们都定位到目录吗？</source>
        <translation>
            <numerusform>%n file is selected. Show it in its folder?</numerusform>
            <numerusform>%n files are selected. Show each of them in its folder?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>当前选择了 %n 个文件，确定要将它们都打开吗？</source>
        <translation>
            <numerusform>%n file is selected. Open it?</numerusform>
            <numerusform>%n files are selected. Open them all?</numerusform>
        </translation>
    </message>
    <message>
        <source>定位中</source>
        <translation>Locating</translation>
    </message>
    <message>
        <source>打开中</source>
        <translation>Opening</translation>
    </message>
    <message>
        <source>复制中</source>
        <translation>Copying</translation>
    </message>
    <message>
        <source>复制完成</source>
        <translation>Copied</translation>
    </message>
    <message numerus="yes">
        <source>确定要彻底删除选择的 %n 个文件吗？

如果需要删除到回收站，请改按Delete键（不按Shift）</source>
        <translation>
            <numerusform>Delete the selected file for good?

To move it to the trash instead, press Delete without Shift.</numerusform>
            <numerusform>Delete the %n selected files for good?

To move them to the trash instead, press Delete without Shift.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>；%n 个文件此前已不存在，已从列表中移去</source>
        <translation>
            <numerusform>; %n file was already gone and has left the list</numerusform>
            <numerusform>; %n files were already gone and have left the list</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>；其中 %n 个替换了本次先复制到该目录的文件</source>
        <translation>
            <numerusform>; %n of them replaced a file this run had copied there before</numerusform>
            <numerusform>; %n of them replaced a file this run had copied there before</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>；%n 个文件因目标目录已有同名文件而跳过</source>
        <translation>
            <numerusform>; %n file skipped: the destination already holds a file of its name</numerusform>
            <numerusform>; %n files skipped: the destination already holds files of their names</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>tarnwick::FolderChooserDialog</name>
    <message>
        <source>上一级</source>
        <translation>Up</translation>
    </message>
    <message>
        <source>主目录</source>
        <translation>Home</translation>
    </message>
    <message>
        <source>新建目录</source>
        <translation>New Folder</translation>
    </message>
    <message>
        <source>选择</source>
        <translation>Choose</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>无法读取这个目录的内容</source>
        <translation>The content of this folder cannot be read</translation>
    </message>
    <message>
        <source>目录未找到</source>
        <translation>Folder not found</translation>
    </message>
    <message>
        <source>目录名称无效：%1</source>
        <translation>Not a valid folder name: %1</translation>
    </message>
    <message>
        <source>无法新建目录：%1</source>
        <translation>Cannot make the folder: %1</translation>
    </message>
    <message>
        <source>新目录的名称：</source>
        <translation>Name of the new folder:</translation>
    </message>
</context>
<context>
    <name>tarnwick::MainWindow</name>
    <message>
        <source>保存配置失败：%1</source>
        <translation>The settings could not be saved: %1</translation>
    </message>
    <message>
        <source>保存完毕！</source>
        <translation>Settings saved.</translation>
    </message>
    <message>
        <source>请选择一个文件夹</source>
        <translation>Choose a folder</translation>
    </message>
</context>
<context>
    <name>tarnwick::ResultModel</name>
    <message>
        <source>文件名</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>文件大小</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>文件时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>内容字数</source>
        <translation>Characters</translation>
    </message>
    <message>
        <source>所在目录</source>
        <translation>Folder</translation>
    </message>
</context>
<context>
    <name>tarnwick::ViewerWindow</name>
    <message>
        <source>(编码:%1) %2</source>
        <translation>(Encoding: %1) %2</translation>
    </message>
</context>
<context>
    <name>tarnwick::WindowSettings</name>
    <message>
        <source>配置模块出现意外，可能导致无法正常保存！详情请咨询Brellin。</source>
        <translation>The settings met an unexpected problem and may not be saved. Ask Brellin for details.</translation>
    </message>
    <message>
        <source>Brellin：</source>
        <translation>Brellin</translation>
    </message>
    <message>
        <source>信息：</source>
        <translation>Information</translation>
    </message>
</context>
</TS>
